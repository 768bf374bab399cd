#include "imaging/tests/ImageProcessingReference.h"

#include "imaging/RasterImageGS16.h"

#include <algorithm>
#include <cstdint>

namespace reference {

void minFilter(const RasterImageGS16 &src, RasterImageGS16 &dst, int rx, int ry)
{
    const int64_t w = src.getWidth();
    const int64_t h = src.getHeight();
    for (int64_t y = 0; y < h; ++y) {
        for (int64_t x = 0; x < w; ++x) {
            const int64_t x0 = std::max<int64_t>(0, x - rx);
            const int64_t x1 = std::min<int64_t>(w - 1, x + rx);
            const int64_t y0 = std::max<int64_t>(0, y - ry);
            const int64_t y1 = std::min<int64_t>(h - 1, y + ry);
            int minimum = dst.getMaxPixelValue();
            for (int64_t yy = y0; yy < y1; ++yy)
                for (int64_t xx = x0; xx < x1; ++xx)
                    minimum = std::min(minimum, src.getPixel(int(xx), int(yy)));
            dst.setPixel(int(x), int(y), minimum);
        }
    }
}

void averageFilter(RasterImageGS16 &img, int n)
{
    if (n <= 0)
        return;
    const int w = img.getWidth();
    const int h = img.getHeight();
    RasterImageGS16 work(img);
    for (int x = n; x < w - n; ++x) {
        for (int y = n; y < h - n; ++y) {
            int64_t sum = 0;
            for (int xx = x - n; xx < x + n; ++xx)
                for (int yy = y - n; yy < y + n; ++yy)
                    sum += img.getPixel(xx, yy);
            work.setPixel(x, y, int(sum / (int64_t(2 * n) * int64_t(2 * n))));
        }
    }
    for (int x = n; x < w - n; ++x)
        for (int y = n; y < h - n; ++y)
            img.setPixel(x, y, work.getPixel(x, y));
}

} // namespace reference
