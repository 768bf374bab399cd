#include "imaging/RasterImage.h"

#include "imaging/TVFImage.h"

#include <FreeImage.h>
#include <opencv2/core/mat.hpp>

#include <climits>
#include <cmath>

IMPLEMENT_SERIAL(RasterImage, CObject, VERSIONABLE_SCHEMA | 0)

RasterImage::RasterImage() = default;

RasterImage::RasterImage(FIBITMAP *bitmap)
{
    if (!bitmap)
        return;
    m_Width = int(FreeImage_GetWidth(bitmap));
    m_Height = int(FreeImage_GetHeight(bitmap));
    setDepth(int(FreeImage_GetBPP(bitmap)));
}

RasterImage::RasterImage(TVFImage *image)
    : RasterImage(image ? static_cast<FIBITMAP *>(*image) : static_cast<FIBITMAP *>(nullptr))
{ }

RasterImage::RasterImage(const cv::Mat &matrix) : m_Width(matrix.cols), m_Height(matrix.rows) { }

RasterImage::RasterImage(int width, int height, int bpp) : m_Width(width), m_Height(height)
{
    setDepth(bpp);
}

RasterImage::~RasterImage() = default;

void RasterImage::copy(const RasterImage &other)
{
    *this = other;
}

void RasterImage::Serialize(CArchive &) { }

int RasterImage::maxValueForDepth(int bpp)
{
    const double power = std::pow(2.0, double(float(bpp)));
    // The conversion of an out-of-range double gave INT_MIN, and INT_MIN - 1
    // wrapped to INT_MAX: 32-bit rasters have always reported 2147483647.
    if (!(power < 2147483648.0))
        return INT_MAX;
    return int(power) - 1;
}

CPoint RasterImage::polarPoint(CPoint centre, float radius, float angle)
{
    const float radians = float(double(angle) * 3.14159265 / 180.0);
    const int dx = int(std::floor(double(float(std::cos(double(radians)) * double(radius))) + 0.5));
    const int dy = int(std::floor(double(float(std::sin(double(radians)) * double(radius))) + 0.5));
    return {centre.x + dx, centre.y + dy};
}

void RasterImage::setDepth(int bpp)
{
    m_BPP = bpp;
    m_MaxPixelValue = maxValueForDepth(bpp);
}
