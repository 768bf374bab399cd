#pragma once

// Colour raster: one blue-green-red-reserved quad per pixel, row 0 at the top,
// index width * y + x.

#include "imaging/RasterImage.h"
#include "platform/Geometry.h"

#include <FreeImage.h>
#include <opencv2/core/mat.hpp>

#include <memory>

class RasterImageRGB : public RasterImage
{
    DECLARE_SERIAL(RasterImageRGB)

public:
    RasterImageRGB();
    // 24-bit raster of zero quads.
    RasterImageRGB(int width, int height);
    // Every quad read with FreeImage_GetPixelColor; zero where that does not
    // apply (pictures that are not 16, 24 or 32 bits per pixel).
    explicit RasterImageRGB(TVFImage *image);
    explicit RasterImageRGB(FIBITMAP *bitmap);
    RasterImageRGB(const RasterImageRGB &other);
    RasterImageRGB &operator=(const RasterImageRGB &other);
    ~RasterImageRGB() override;

    void copy(const RasterImageRGB &other);

    // No bounds check.
    RGBQUAD *getPixel(int x, int y) { return &m_pPixels[size_t(m_Width) * size_t(y) + size_t(x)]; }
    const RGBQUAD *getPixel(int x, int y) const
    {
        return &m_pPixels[size_t(m_Width) * size_t(y) + size_t(x)];
    }
    void setPixel(int x, int y, RGBQUAD value) { *getPixel(x, y) = value; }
    // Quad at centre + (radius, angle in degrees); null outside the raster.
    RGBQUAD *getPolarPixel(CPoint centre, float radius, float angle);

    // New display image (standard bitmap of the raster's depth); the caller owns it.
    std::unique_ptr<TVFImage> convert2TVFImage() const;
    // The same as a bare FreeImage bitmap (caller unloads it).
    FIBITMAP *convert2FIBitmap() const;

    // New matrices, rows = height, columns = width; the caller owns them.
    std::unique_ptr<cv::Mat_<cv::Vec3b>> getRGBCVMatrix() const; // bytes blue, green, red
    std::unique_ptr<cv::Mat> getRedChannelCVMatrix() const; // 8-bit one channel
    std::unique_ptr<cv::Mat> getGreenChannelCVMatrix() const;
    std::unique_ptr<cv::Mat> getBlueChannelCVMatrix() const;

private:
    void allocate();
    void convertFrom(FIBITMAP *bitmap);
    std::unique_ptr<cv::Mat> channelMatrix(int channel) const;

    std::unique_ptr<RGBQUAD[]> m_pPixels;
};
