#include "imaging/RasterImageGS16.h"

#include "data/CIntDataArray.h"
#include "data/CPointArray.h"
#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"

#include <FreeImage.h>
#include <opencv2/core/mat.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

IMPLEMENT_SERIAL(RasterImageGS16, RasterImage, VERSIONABLE_SCHEMA | 0)

namespace {

FIBITMAP *bitmapOf(TVFImage *image)
{
    return image ? static_cast<FIBITMAP *>(*image) : nullptr;
}

} // namespace

struct RasterImageGS16::Statistics
{
    int minimum = INT_MAX;
    int maximum = INT_MIN;
    int64_t sum = 0;

    void add(const int *values, size_t count)
    {
        // Local running values, so the loop needs nothing but the row.
        int low = INT_MAX;
        int high = INT_MIN;
        int64_t total = 0;
        for (size_t i = 0; i < count; ++i) {
            low = std::min(low, values[i]);
            high = std::max(high, values[i]);
            total += values[i];
        }
        minimum = std::min(minimum, low);
        maximum = std::max(maximum, high);
        sum += total;
    }
};

void RasterImageGS16::setStatistics(const Statistics &statistics)
{
    m_Min = statistics.minimum;
    m_Max = statistics.maximum;
    // No pixels gives 0 / 0, not a number, as it always has.
    m_Mean = double(statistics.sum) / double(int64_t(m_Width) * int64_t(m_Height));
}

RasterImageGS16::RasterImageGS16() = default;

RasterImageGS16::RasterImageGS16(int width, int height) : RasterImage(width, height, 16)
{
    allocate();
}

RasterImageGS16::RasterImageGS16(TVFImage *image) : RasterImage(bitmapOf(image))
{
    convertFrom(bitmapOf(image));
}

RasterImageGS16::RasterImageGS16(FIBITMAP *bitmap) : RasterImage(bitmap)
{
    convertFrom(bitmap);
}

RasterImageGS16::RasterImageGS16(const RasterImageGS16 *other)
{
    if (!other)
        return;
    copy(*other);
    calculateStatistics();
}

RasterImageGS16::RasterImageGS16(const cv::Mat &matrix) : RasterImage(matrix)
{
    const int type = matrix.flags & 0xFFF;
    setDepth(type == CV_8UC1 ? 8 : type == CV_16UC1 ? 16 : 1);
    allocate();
    if (m_BPP == 1)
        return;
    for (int y = 0; y < m_Height; ++y) {
        int *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        if (m_BPP == 8) {
            const uchar *src = matrix.ptr<uchar>(y);
            for (int x = 0; x < m_Width; ++x)
                row[x] = src[x];
        } else {
            const uint16_t *src = matrix.ptr<uint16_t>(y);
            for (int x = 0; x < m_Width; ++x)
                row[x] = src[x];
        }
    }
}

RasterImageGS16::RasterImageGS16(const RasterImageGS16 &other) : RasterImage()
{
    copy(other);
}

RasterImageGS16 &RasterImageGS16::operator=(const RasterImageGS16 &other)
{
    if (this != &other)
        copy(other);
    return *this;
}

RasterImageGS16::~RasterImageGS16() = default;

void RasterImageGS16::copy(const RasterImageGS16 &other)
{
    if (this == &other)
        return;
    copyShape(other);
    if (other.m_pPixels)
        std::memcpy(m_pPixels.get(), other.m_pPixels.get(),
                    size_t(m_Width) * size_t(m_Height) * sizeof(int));
}

void RasterImageGS16::copyShape(const RasterImageGS16 &other)
{
    if (this == &other)
        return;
    const size_t count = size_t(other.m_Width) * size_t(other.m_Height);
    std::unique_ptr<int[]> pixels;
    if (other.m_pPixels) {
        // A buffer of the same size is reused: a fresh one of a large
        // picture costs more in new pages than a copy into it.
        if (m_pPixels && size_t(m_Width) * size_t(m_Height) == count) {
            pixels = std::move(m_pPixels);
        } else {
            try {
                pixels.reset(new int[count]);
            } catch (const std::bad_alloc &) {
                throw CMemoryException();
            }
        }
    }
    RasterImage::copy(other);
    m_pPixels = std::move(pixels);
    m_Mean = other.m_Mean;
    m_Min = other.m_Min;
    m_Max = other.m_Max;
}

void RasterImageGS16::allocate()
{
    if (m_Width < 0 || m_Height < 0)
        throw CInvalidArgException("RasterImageGS16: negative size");
    try {
        m_pPixels.reset(new int[size_t(m_Width) * size_t(m_Height)]());
    } catch (const std::bad_alloc &) {
        throw CMemoryException();
    }
}

void RasterImageGS16::convertFrom(FIBITMAP *bitmap)
{
    allocate();
    if (!bitmap || !FreeImage_HasPixels(bitmap)) {
        // Null or header-only: no scan lines to read, the raster stays zero.
        calculateStatistics();
        return;
    }
    // A bitmap keeps its bottom row first; raster row 0 is the top row.
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(bitmap);
    const bool grey16 = type == FIT_UINT16;
    const bool bytes = type == FIT_BITMAP && m_BPP == 8;
    Statistics statistics;
    for (int y = 0; y < m_Height; ++y) {
        const BYTE *line = FreeImage_GetScanLine(bitmap, m_Height - 1 - y);
        int *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        for (int x = 0; x < m_Width; ++x) {
            int value = 0;
            if (grey16)
                value = reinterpret_cast<const uint16_t *>(line)[x];
            else if (bytes)
                value = line[x];
            row[x] = value;
        }
        statistics.add(row, size_t(m_Width));
    }
    setStatistics(statistics);
}

int RasterImageGS16::getPolarPixel(CPoint centre, float radius, float angle) const
{
    const CPoint p = polarPoint(centre, radius, angle);
    if (p.x < 0 || p.y < 0 || p.x > m_Width - 1 || p.y > m_Height - 1)
        return 0;
    return getPixel(p);
}

void RasterImageGS16::checkPoint(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_Width || y >= m_Height)
        throw CInvalidArgException("RasterImageGS16: pixel (" + std::to_string(x) + ", "
                                   + std::to_string(y) + ") outside the raster");
}

void RasterImageGS16::getPixelsFor(const CPointArray *points, CIntDataArray *out) const
{
    out->RemoveAll();
    if (!points)
        return;
    for (const CPoint &p : *points) {
        checkPoint(p.x, p.y);
        out->Add(getPixel(p));
    }
}

void RasterImageGS16::getPixelsFor(CRect rect, CIntDataArray *out) const
{
    out->RemoveAll();
    if (rect.IsRectEmpty())
        return;
    checkPoint(rect.left, rect.top);
    checkPoint(rect.right - 1, rect.bottom - 1);
    for (int x = rect.left; x < rect.right; ++x)
        for (int y = rect.top; y < rect.bottom; ++y)
            out->Add(getPixel(x, y));
}

void RasterImageGS16::appendRun(CIntDataArray *out, int from, int to, bool alongRow,
                                int fixed) const
{
    auto read = [&](int i) {
        const int x = alongRow ? i : fixed;
        const int y = alongRow ? fixed : i;
        checkPoint(x, y);
        return getPixel(x, y);
    };
    if (from < to) {
        for (int i = from; i < to; ++i)
            out->Add(read(i));
    } else {
        // Backwards the run has always stopped two short of `to`; callers
        // that want a run down to t pass t - 2.
        for (int i = from; i > to + 1; --i)
            out->Add(read(i));
    }
}

void RasterImageGS16::getHorizontalPixels(CIntDataArray *out, int from, int to, int y) const
{
    appendRun(out, from, to, true, y);
}

void RasterImageGS16::getVerticalPixels(CIntDataArray *out, int from, int to, int x) const
{
    appendRun(out, from, to, false, x);
}

void RasterImageGS16::getHistogram(CIntDataArray *out) const
{
    out->RemoveAll();
    const int64_t bins = int64_t(m_MaxPixelValue) + 1;
    if (bins > INT_MAX)
        throw CInvalidArgException(
            "RasterImageGS16::getHistogram: depth too large for a histogram");
    out->SetSize(int(std::max<int64_t>(bins, 0)));
    int *counts = out->GetData();
    const size_t count = size_t(m_Width) * size_t(m_Height);
    for (size_t i = 0; i < count; ++i) {
        const int value = m_pPixels[i];
        if (value < 0 || int64_t(value) >= bins)
            throw CInvalidArgException("RasterImageGS16::getHistogram: pixel value "
                                       + std::to_string(value) + " outside the histogram");
        ++counts[value];
    }
}

void RasterImageGS16::copyTo(CIntDataArray *out) const
{
    const size_t count = size_t(m_Width) * size_t(m_Height);
    out->vector().assign(m_pPixels.get(), m_pPixels.get() + count);
}

namespace {
// a - b, clipped to 0 .. INT_MAX, over one row.
void subtractRow(const int *a, const int *b, int *out, int n)
{
    for (int x = 0; x < n; ++x) {
        const int64_t d = int64_t(a[x]) - int64_t(b[x]);
        out[x] = d > 0 ? int(std::min<int64_t>(d, INT_MAX)) : 0;
    }
}
} // namespace

void RasterImageGS16::subtractImage(const RasterImageGS16 *other)
{
    if (!other || other->m_Width < m_Width || other->m_Height < m_Height)
        throw CInvalidArgException("RasterImageGS16::subtractImage: the other raster is smaller");
    for (int y = 0; y < m_Height; ++y) {
        int *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        subtractRow(row, other->m_pPixels.get() + size_t(other->m_Width) * size_t(y), row, m_Width);
    }
    calculateStatistics();
}

void RasterImageGS16::setDifference(const RasterImageGS16 &minuend,
                                    const RasterImageGS16 &subtrahend)
{
    if (subtrahend.m_Width < minuend.m_Width || subtrahend.m_Height < minuend.m_Height)
        throw CInvalidArgException("RasterImageGS16::subtractImage: the other raster is smaller");
    if (this == &subtrahend || !minuend.m_pPixels) {
        copy(minuend);
        subtractImage(&subtrahend);
        return;
    }
    if (this != &minuend)
        copyShape(minuend);
    // The statistics are gathered while the rows are written, saving a
    // second pass over the raster; they are those calculateStatistics gives.
    Statistics statistics;
    for (int y = 0; y < m_Height; ++y) {
        const size_t offset = size_t(m_Width) * size_t(y);
        int *out = m_pPixels.get() + offset;
        subtractRow(minuend.m_pPixels.get() + offset,
                    subtrahend.m_pPixels.get() + size_t(subtrahend.m_Width) * size_t(y), out,
                    m_Width);
        statistics.add(out, size_t(m_Width));
    }
    setStatistics(statistics);
}

void RasterImageGS16::calculateStatistics()
{
    Statistics statistics;
    statistics.add(m_pPixels.get(), size_t(m_Width) * size_t(m_Height));
    setStatistics(statistics);
}

FIBITMAP *RasterImageGS16::convert2FIBitmap() const
{
    FIBITMAP *bitmap = m_BPP == 8 ? FreeImage_Allocate(m_Width, m_Height, 8)
                                  : FreeImage_AllocateT(FIT_UINT16, m_Width, m_Height, m_BPP);
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < m_Height; ++y) {
        BYTE *line = FreeImage_GetScanLine(bitmap, m_Height - 1 - y);
        const int *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        if (m_BPP == 8) {
            for (int x = 0; x < m_Width; ++x)
                line[x] = BYTE(row[x] & 0xFF);
        } else {
            uint16_t *samples = reinterpret_cast<uint16_t *>(line);
            for (int x = 0; x < m_Width; ++x)
                samples[x] = uint16_t(row[x] & 0xFFFF);
        }
    }
    return bitmap;
}

std::unique_ptr<TVFImage> RasterImageGS16::convert2TVFImage() const
{
    auto image = std::make_unique<TVFImage>();
    if (FIBITMAP *bitmap = convert2FIBitmap())
        *image = bitmap; // the image takes the bitmap and marks the picture changed
    return image;
}

void RasterImageGS16::getxAveregedVertricalBeamProfile(CIntDataArray *out, int x0, int x1) const
{
    if (x0 > x1)
        std::swap(x0, x1);
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_Width - 1);
    if (x0 > x1)
        return;
    const int64_t columns = int64_t(x1) - x0 + 1;
    for (int y = 0; y < m_Height; ++y) {
        int64_t sum = 0;
        for (int x = x0; x <= x1; ++x)
            sum += getPixel(x, y);
        out->Add(int(std::floor(double(sum) / double(columns) + 0.5)));
    }
}
