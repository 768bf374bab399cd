#pragma once

// Common base of the pixel rasters: size, bit depth of the source and the
// largest value a pixel of that depth can hold. A raster is a work object
// rebuilt from the display image whenever it is needed, so nothing is stored.

#include "platform/CObject.h"
#include "platform/Geometry.h"

class TVFImage;
struct FIBITMAP;

namespace cv {
class Mat;
}

class RasterImage : public CObject
{
    DECLARE_SERIAL(RasterImage)

public:
    RasterImage();
    // Width, height and bit depth of the picture (all 0 for null or an empty picture).
    explicit RasterImage(TVFImage *image);
    // Width, height and bit depth of a FreeImage bitmap (all 0 for null).
    explicit RasterImage(FIBITMAP *bitmap);
    // Width = columns, height = rows; the derived class sets the bit depth.
    explicit RasterImage(const cv::Mat &matrix);
    RasterImage(int width, int height, int bpp);
    RasterImage(const RasterImage &other) = default;
    RasterImage &operator=(const RasterImage &other) = default;
    ~RasterImage() override;

    void copy(const RasterImage &other);

    // A raster is never stored: it is rebuilt from the picture after loading.
    void Serialize(CArchive &ar) override;

    int getWidth() const { return m_Width; }
    int getHeight() const { return m_Height; }
    int getBPP() const { return m_BPP; }
    int getMaxPixelValue() const { return m_MaxPixelValue; }

    // 2^bpp - 1 computed the way the stored analyses were made: 2.0 raised to
    // the single-precision depth, truncated to 32 bits, minus one. A power that
    // no longer fits wraps to 2147483647 (32 bits), as it always did.
    static int maxValueForDepth(int bpp);

    // centre + (radius, angle in degrees), each offset rounded in single
    // precision as the stored outlines were computed.
    static CPoint polarPoint(CPoint centre, float radius, float angle);

protected:
    // Sets the bit depth and the largest value that goes with it.
    void setDepth(int bpp);

    int m_Width = 0;
    int m_Height = 0;
    int m_MaxPixelValue = 0;
    int m_BPP = 0;
};
