#include "imaging/ImageProcessing.h"

#include "data/CIntDataArray.h"
#include "data/CPointArray.h"
#include "imaging/RasterImageGS16.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

IMPLEMENT_DYNCREATE(ImageProcessing, CObject)

namespace {

template<typename T> std::vector<T> buffer(size_t count)
{
    try {
        return std::vector<T>(count);
    } catch (const std::bad_alloc &) {
        throw CMemoryException();
    }
}

// Threads for a filter over 'pixels' values: one for small pictures, where
// starting threads costs more than it saves; at most four.
int workerCount(size_t pixels)
{
    if (pixels < (size_t(1) << 20))
        return 1;
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
}

// Runs work(part, first, last) over [0, count) cut into 'parts' contiguous
// pieces, the last on the calling thread.
template<typename Work> void inParts(int count, int parts, const Work &work)
{
    parts = std::max(1, std::min(parts, count));
    const auto part = [&work, count, parts](int t) {
        work(t, int(int64_t(count) * t / parts), int(int64_t(count) * (t + 1) / parts));
    };
    std::vector<std::thread> running;
    for (int t = 0; t + 1 < parts; ++t) {
        try {
            running.emplace_back(part, t);
        } catch (const std::system_error &) {
            // No thread to be had: this one does that part too.
            part(t);
        }
    }
    part(parts - 1);
    for (std::thread &thread : running)
        thread.join();
}

// The filter window of position i along an axis of n pixels with radius r is
// [max(0, i - r), min(n - 1, i + r)): the last pixel of the axis never takes
// part and the window reaches r - 1 pixels past i. Both ends grow with i,
// which is what lets the van Herk / Gil-Werman scheme below replace the scan.
struct Window
{
    int64_t lo;
    int64_t hi; // exclusive
};

Window windowAt(int64_t i, int64_t r, int64_t n)
{
    return {std::max<int64_t>(0, i - r), std::min<int64_t>(n - 1, i + r)};
}

// Van Herk / Gil-Werman: with blocks of k pixels, g (prefix) holds the
// running minimum from each block's start and h (suffix) the running minimum
// to each block's end (or the end of the usable axis). Every window used here
// is either exactly k long, starts at 0, or ends at the end of the usable
// axis; with k = min(2r, usable length) each such window is g[hi - 1], h[lo]
// or the minimum of both, as `use` tells.
struct Blocks
{
    int64_t k = 1;
    int64_t length = 0; // usable pixels: n - 1

    Blocks(int64_t r, int64_t n)
        : k(std::max<int64_t>(1, std::min<int64_t>(2 * r, n - 1))), length(n - 1)
    { }

    bool blockStart(int64_t j) const { return j % k == 0; }

    enum class Use { Empty, G, H, Both };
    Use use(const Window &w) const
    {
        if (w.lo >= w.hi)
            return Use::Empty;
        const int64_t last = w.hi - 1;
        if (w.lo / k != last / k)
            return Use::Both;
        return blockStart(w.lo) ? Use::G : Use::H;
    }
};

// Minimum along one row, clamped to `cap` (which also fills empty windows).
void rowMinimum(const int *src, int *dst, int n, int r, int cap, std::vector<int> &g,
                std::vector<int> &h)
{
    const Blocks blocks(r, n);
    const int length = int(blocks.length);
    const int k = int(blocks.k);
    for (int start = 0; start < length; start += k) {
        const int end = std::min(start + k, length);
        g[start] = src[start];
        for (int j = start + 1; j < end; ++j)
            g[j] = std::min(g[j - 1], src[j]);
        h[end - 1] = src[end - 1];
        for (int j = end - 2; j >= start; --j)
            h[j] = std::min(h[j + 1], src[j]);
    }
    // Windows of exactly k = 2r pixels, away from both ends: either one whole
    // block (h[lo] = g[hi - 1]) or the tail of one and the head of the next.
    int first = 0;
    int last = -1; // inclusive range of such positions
    if (r > 0 && int64_t(2) * r <= length) {
        first = r;
        last = length - r;
    }
    auto general = [&](int i) {
        const Window w = windowAt(i, r, n);
        switch (blocks.use(w)) {
        case Blocks::Use::Empty:
            return cap;
        case Blocks::Use::G:
            return std::min(cap, g[w.hi - 1]);
        case Blocks::Use::H:
            return std::min(cap, h[w.lo]);
        case Blocks::Use::Both:
            break;
        }
        return std::min(cap, std::min(h[w.lo], g[w.hi - 1]));
    };
    for (int i = 0; i < std::min(first, n); ++i)
        dst[i] = general(i);
    for (int i = first; i <= last; ++i)
        dst[i] = std::min(cap, std::min(h[i - r], g[i + r - 1]));
    for (int i = std::max(first, last + 1); i < n; ++i)
        dst[i] = general(i);
}

} // namespace

ImageProcessing::ImageProcessing() = default;
ImageProcessing::~ImageProcessing() = default;

CRect ImageProcessing::clipToImage(const RasterImageGS16 *img, CRect rect)
{
    const int w = img ? img->getWidth() : 0;
    const int h = img ? img->getHeight() : 0;
    if (w <= 0 || h <= 0)
        return CRect();
    // right and bottom stop at w - 1 and h - 1, so the last column and row are
    // never inside; every edge is also kept on the raster so that a rectangle
    // lying off the picture cannot make the corner reads leave it.
    rect.left = std::clamp(rect.left, 0, w - 1);
    rect.right = std::clamp(rect.right, 0, w - 1);
    rect.top = std::clamp(rect.top, 0, h - 1);
    rect.bottom = std::clamp(rect.bottom, 0, h - 1);
    rect.NormalizeRect();
    return rect;
}

void ImageProcessing::getMinValue(const RasterImageGS16 *img, int x0, int y0, int x1, int y1,
                                  int &min)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, img->getWidth());
    y1 = std::min(y1, img->getHeight());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            min = std::min(min, img->getPixel(x, y));
}

void ImageProcessing::generateBGViaMinFilter(const RasterImageGS16 *src, RasterImageGS16 *dst,
                                             int rx, int ry)
{
    if (!src || !dst)
        throw CInvalidArgException("generateBGViaMinFilter: no raster");
    const int w = src->getWidth();
    const int h = src->getHeight();
    if (dst->getWidth() < w || dst->getHeight() < h)
        throw CInvalidArgException("generateBGViaMinFilter: the target raster is smaller");
    if (w == 0 || h == 0)
        return;
    const int cap = dst->getMaxPixelValue();
    const size_t srcStride = size_t(w);
    const size_t dstStride = size_t(dst->getWidth());
    int *out = dst->getPixels();

    // Rows in pass 1 and strips of columns in pass 2 are independent: each
    // output value is computed by one thread with the same operations, so
    // the result does not depend on the number of threads. Every buffer is
    // allocated here, before any thread starts.
    const int threads = workerCount(size_t(w) * size_t(h));

    // Pass 1: minimum along each row, straight into dst. Each row is copied
    // before it is read, so src and dst may be the same raster.
    {
        std::vector<std::vector<int>> lines(static_cast<size_t>(threads));
        std::vector<std::vector<int>> gs(static_cast<size_t>(threads));
        std::vector<std::vector<int>> hs(static_cast<size_t>(threads));
        for (int t = 0; t < threads; ++t) {
            lines[size_t(t)] = buffer<int>(size_t(w));
            gs[size_t(t)] = buffer<int>(size_t(w));
            hs[size_t(t)] = buffer<int>(size_t(w));
        }
        inParts(h, threads, [&](int t, int first, int last) {
            std::vector<int> &line = lines[size_t(t)];
            for (int y = first; y < last; ++y) {
                const int *in = src->getPixels() + srcStride * size_t(y);
                std::copy_n(in, w, line.data());
                rowMinimum(line.data(), out + dstStride * size_t(y), w, rx, cap, gs[size_t(t)],
                           hs[size_t(t)]);
            }
        });
    }

    // Pass 2: minimum down the columns, in strips of columns narrow enough
    // for the strip's block minima to stay in cache.
    const Blocks blocks(ry, h);
    const int length = int(blocks.length);
    const int k = int(blocks.k);
    constexpr int kStrip = 64;
    const int strips = (w + kStrip - 1) / kStrip;
    std::vector<std::vector<int>> prefixes(static_cast<size_t>(threads));
    std::vector<std::vector<int>> suffixes(static_cast<size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        prefixes[size_t(t)] = buffer<int>(size_t(kStrip) * size_t(std::max(length, 0)));
        suffixes[size_t(t)] = buffer<int>(size_t(kStrip) * size_t(std::max(length, 0)));
    }
    inParts(strips, threads, [&](int t, int firstStrip, int lastStrip) {
        std::vector<int> &prefix = prefixes[size_t(t)];
        std::vector<int> &suffix = suffixes[size_t(t)];
        for (int x0 = firstStrip * kStrip; x0 < w && x0 < lastStrip * kStrip; x0 += kStrip) {
        const int sw = std::min(kStrip, w - x0);
        auto column = [&](int y) { return out + dstStride * size_t(y) + size_t(x0); };
        auto pre = [&](int j) { return prefix.data() + size_t(kStrip) * size_t(j); };
        auto suf = [&](int j) { return suffix.data() + size_t(kStrip) * size_t(j); };
        for (int start = 0; start < length; start += k) {
            const int end = std::min(start + k, length);
            std::copy_n(column(start), sw, pre(start));
            for (int j = start + 1; j < end; ++j) {
                const int *v = column(j);
                const int *prev = pre(j - 1);
                int *p = pre(j);
                for (int x = 0; x < sw; ++x)
                    p[x] = std::min(prev[x], v[x]);
            }
            std::copy_n(column(end - 1), sw, suf(end - 1));
            for (int j = end - 2; j >= start; --j) {
                const int *v = column(j);
                const int *next = suf(j + 1);
                int *q = suf(j);
                for (int x = 0; x < sw; ++x)
                    q[x] = std::min(next[x], v[x]);
            }
        }
        for (int y = 0; y < h; ++y) {
            int *o = column(y);
            const Window win = windowAt(y, ry, h);
            switch (blocks.use(win)) {
            case Blocks::Use::Empty:
                std::fill_n(o, sw, cap);
                break;
            case Blocks::Use::G:
                std::copy_n(pre(int(win.hi - 1)), sw, o);
                break;
            case Blocks::Use::H:
                std::copy_n(suf(int(win.lo)), sw, o);
                break;
            case Blocks::Use::Both: {
                const int *a = suf(int(win.lo));
                const int *b = pre(int(win.hi - 1));
                for (int x = 0; x < sw; ++x)
                    o[x] = std::min(a[x], b[x]);
                break;
            }
            }
        }
        }
    });
}

void ImageProcessing::smoothenViaAverageFilter(RasterImageGS16 *img, int n)
{
    // n = 0 would divide by an empty window and a negative n would read off
    // the raster: neither smooths anything.
    if (!img || n <= 0)
        return;
    const int w = img->getWidth();
    const int h = img->getHeight();
    if (w <= 2 * n || h <= 2 * n)
        return;
    const size_t W = size_t(w);
    const int64_t area = 4 * int64_t(n) * int64_t(n);
    const int innerW = w - 2 * n;
    int *pixels = img->getPixels();

    // Truncating division by the window area without a 64-bit divide per
    // pixel: a floating-point estimate (the mean of 32-bit values, so off by
    // at most one) corrected with the exact remainder.
    const double inverse = 1.0 / double(area);
    auto divide = [area, inverse](int64_t sum) {
        int64_t q = int64_t(double(sum) * inverse);
        const int64_t rem = sum - q * area;
        if (sum >= 0) {
            if (rem < 0)
                --q;
            else if (rem >= area)
                ++q;
        } else {
            if (rem > 0)
                ++q;
            else if (rem <= -area)
                --q;
        }
        return q;
    };

    // The rows n .. h-n-1 that change are cut into bands, one per thread.
    // A band reads the original rows n above and below it, which its
    // neighbours overwrite: those rows are copied aside before any band
    // starts. The sums are exact integers, so the result is the same for
    // any cut.
    const int changing = h - 2 * n;
    const int parts
        = std::min(workerCount(size_t(w) * size_t(h)), std::max(1, changing / (4 * n)));
    std::vector<int> cuts; // first row of every band, then the end
    for (int t = 0; t <= parts; ++t)
        cuts.push_back(n + int(int64_t(changing) * t / parts));
    // Rows cut - n .. cut + n - 1 of every inner cut, as they were.
    std::vector<std::vector<int>> saved(static_cast<size_t>(parts));
    for (int t = 1; t < parts; ++t) {
        saved[size_t(t)] = buffer<int>(W * size_t(2 * n));
        std::copy_n(pixels + W * size_t(cuts[size_t(t)] - n), W * size_t(2 * n),
                    saved[size_t(t)].data());
    }
    std::vector<std::vector<int64_t>> columns(static_cast<size_t>(parts));
    std::vector<std::vector<int>> rings(static_cast<size_t>(parts));
    for (int t = 0; t < parts; ++t) {
        columns[size_t(t)] = buffer<int64_t>(W);
        rings[size_t(t)] = buffer<int>(size_t(innerW) * size_t(n + 1));
    }

    inParts(parts, parts, [&](int t, int, int) {
        const int first = cuts[size_t(t)];
        const int last = cuts[size_t(t) + 1]; // exclusive
        // Original row y: the band's own rows are read before they are
        // written back; rows of a neighbour come from the copies.
        const auto original = [&](int y) -> const int * {
            if (y < first && t > 0)
                return saved[size_t(t)].data() + W * size_t(y - (first - n));
            if (y >= last && t + 1 < parts)
                return saved[size_t(t) + 1].data() + W * size_t(y - (last - n));
            return pixels + W * size_t(y);
        };
        // Column sums over the 2n rows of the current window, slid down one
        // row at a time; along the row a running sum over 2n of them.
        std::vector<int64_t> &column = columns[size_t(t)];
        for (int y = first - n; y < first + n; ++y) {
            const int *row = original(y);
            for (int x = 0; x < w; ++x)
                column[size_t(x)] += row[x];
        }
        // Results wait in a ring of n + 1 rows: row y may only be written
        // back once its original values have left the column sums (end of
        // row y + n).
        const int ringRows = n + 1;
        std::vector<int> &ring = rings[size_t(t)];
        auto slot = [&](int y) {
            return ring.data() + size_t(innerW) * size_t((y - first) % ringRows);
        };
        auto writeBack
            = [&](int y) { std::copy_n(slot(y), innerW, pixels + W * size_t(y) + size_t(n)); };
        for (int y = first; y < last; ++y) {
            int64_t sum = 0;
            for (int x = 0; x < 2 * n; ++x)
                sum += column[size_t(x)];
            int *out = slot(y);
            for (int x = n; x < w - n; ++x) {
                out[x - n] = int(divide(sum));
                if (x + 1 < w - n)
                    sum += column[size_t(x + n)] - column[size_t(x - n)];
            }
            if (y + 1 < last) {
                const int *add = original(y + n);
                const int *sub = original(y - n);
                for (int x = 0; x < w; ++x)
                    column[size_t(x)] += int64_t(add[x]) - int64_t(sub[x]);
            }
            if (y - n >= first)
                writeBack(y - n);
        }
        for (int y = std::max(first, last - n); y < last; ++y)
            writeBack(y);
    });
}

CPoint ImageProcessing::findCenterOfMass3D(const RasterImageGS16 *img, CRect rect)
{
    const CRect r = clipToImage(img, rect);
    double sum = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int y = r.top; y < r.bottom; ++y) {
        const int *row = img->getPixels() + size_t(img->getWidth()) * size_t(y);
        for (int x = r.left; x < r.right; ++x) {
            const double v = row[x];
            sum += v;
            sumX += v * x;
            sumY += v * y;
        }
    }
    // Without any intensity there is no centre of mass; the rectangle's centre
    // stands in rather than a point computed from 0 / 0.
    if (sum == 0.0)
        return r.CenterPoint();
    return {int(std::floor(sumX / sum + 0.5)), int(std::floor(sumY / sum + 0.5))};
}

CPoint ImageProcessing::findCenterOfMassAbove(const RasterImageGS16 *img, CRect rect, double base)
{
    const CRect r = clipToImage(img, rect);
    double sum = 0.0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int y = r.top; y < r.bottom; ++y) {
        const int *row = img->getPixels() + size_t(img->getWidth()) * size_t(y);
        for (int x = r.left; x < r.right; ++x) {
            const double v = double(row[x]) - base;
            if (v <= 0.0)
                continue;
            sum += v;
            sumX += v * x;
            sumY += v * y;
        }
    }
    if (sum == 0.0)
        return findCenterOfMass3D(img, rect);
    return {int(std::floor(sumX / sum + 0.5)), int(std::floor(sumY / sum + 0.5))};
}

namespace {

// base + fraction * (centre - base), base being the darkest corner of the
// clipped rectangle; never below 0.
int boundaryThreshold(const RasterImageGS16 *img, const CRect &r, CPoint centre, float fraction)
{
    const int base = std::min({img->getPixel(r.left, r.top), img->getPixel(r.right, r.top),
                               img->getPixel(r.left, r.bottom), img->getPixel(r.right, r.bottom)});
    const float scaled = float(int64_t(img->getPixel(centre)) - int64_t(base)) * fraction;
    const double t = std::floor(double(scaled) + 0.5) + double(base);
    return int(std::clamp(t, 0.0, double(INT_MAX)));
}

bool onImage(const RasterImageGS16 *img, CPoint p)
{
    return p.x >= 0 && p.y >= 0 && p.x < img->getWidth() && p.y < img->getHeight();
}

} // namespace

void ImageProcessing::findBroundryPoints(const RasterImageGS16 *img, CRect rect, CPoint centre,
                                         float fraction, CPointArray *out)
{
    const CRect r = clipToImage(img, rect);
    const int maxRadius = int(std::floor((r.right - r.left) * 0.75 + 0.5));
    // The threshold is only needed when some walk can read a pixel, i.e. when
    // the centre lies inside the rectangle.
    const bool centreInside = r.PtInRect(centre);
    const int threshold = centreInside ? boundaryThreshold(img, r, centre, fraction) : 0;

    for (int angle = 0; angle < 360; ++angle) {
        CPoint point(0, 0);
        for (int rho = 0; rho < maxRadius; ++rho) {
            point = RasterImage::polarPoint(centre, float(rho), float(angle));
            if (!r.PtInRect(point) || !onImage(img, point))
                break;
            if (img->getPixel(point) < threshold)
                break;
        }
        out->Add(point);
    }
}

void ImageProcessing::findBroundryPointsUpDown(const RasterImageGS16 *img, CRect rect,
                                               CPoint centre, float fraction, CPointArray *out)
{
    const CRect r = clipToImage(img, rect);
    if (!r.PtInRect(centre))
        return;
    const int threshold = boundaryThreshold(img, r, centre, fraction);
    if (img->getPixel(centre) < threshold)
        return;

    // Index of the first value below the threshold, or the run's length.
    auto firstBelow = [threshold](const CIntDataArray &run) {
        int i = 0;
        while (i < run.GetSize() && run[i] >= threshold)
            ++i;
        return i;
    };

    // Extent of the band along the centre row: [first, last].
    CIntDataArray run;
    img->getHorizontalPixels(&run, centre.x, r.right, centre.y);
    const int last = centre.x + firstBelow(run) - 1;
    run.RemoveAll();
    img->getHorizontalPixels(&run, centre.x, r.left - 2, centre.y); // centre.x down to left
    const int first = centre.x - firstBelow(run) + 1;

    CPointArray lower;
    for (int x = first; x <= last; ++x) {
        run.RemoveAll();
        img->getVerticalPixels(&run, centre.y, r.top - 2, x); // centre.y up to top
        const int up = firstBelow(run);
        out->Add(CPoint(x, centre.y - std::min(up, run.GetSize() - 1)));

        run.RemoveAll();
        img->getVerticalPixels(&run, centre.y, r.bottom, x); // centre.y down to bottom - 1
        const int down = firstBelow(run);
        lower.Add(CPoint(x, centre.y + std::min(down, run.GetSize() - 1)));
    }
    for (int i = lower.GetSize() - 1; i >= 0; --i)
        out->Add(lower[i]);
}
