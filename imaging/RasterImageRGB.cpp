#include "imaging/RasterImageRGB.h"

#include "imaging/TVFImage.h"
#include "platform/Exceptions.h"

#include <cstring>
#include <new>

IMPLEMENT_SERIAL(RasterImageRGB, RasterImage, VERSIONABLE_SCHEMA | 0)

namespace {

FIBITMAP *bitmapOf(TVFImage *image)
{
    return image ? static_cast<FIBITMAP *>(*image) : nullptr;
}

} // namespace

RasterImageRGB::RasterImageRGB() = default;

RasterImageRGB::RasterImageRGB(int width, int height) : RasterImage(width, height, 24)
{
    allocate();
}

RasterImageRGB::RasterImageRGB(TVFImage *image) : RasterImage(bitmapOf(image))
{
    convertFrom(bitmapOf(image));
}

RasterImageRGB::RasterImageRGB(FIBITMAP *bitmap) : RasterImage(bitmap)
{
    convertFrom(bitmap);
}

RasterImageRGB::RasterImageRGB(const RasterImageRGB &other) : RasterImage()
{
    copy(other);
}

RasterImageRGB &RasterImageRGB::operator=(const RasterImageRGB &other)
{
    if (this != &other)
        copy(other);
    return *this;
}

RasterImageRGB::~RasterImageRGB() = default;

void RasterImageRGB::copy(const RasterImageRGB &other)
{
    if (this == &other)
        return;
    const size_t count = size_t(other.m_Width) * size_t(other.m_Height);
    std::unique_ptr<RGBQUAD[]> pixels;
    if (other.m_pPixels) {
        try {
            pixels.reset(new RGBQUAD[count]);
        } catch (const std::bad_alloc &) {
            throw CMemoryException();
        }
        std::memcpy(pixels.get(), other.m_pPixels.get(), count * sizeof(RGBQUAD));
    }
    RasterImage::copy(other);
    m_pPixels = std::move(pixels);
}

void RasterImageRGB::allocate()
{
    if (m_Width < 0 || m_Height < 0)
        throw CInvalidArgException("RasterImageRGB: negative size");
    try {
        m_pPixels.reset(new RGBQUAD[size_t(m_Width) * size_t(m_Height)]());
    } catch (const std::bad_alloc &) {
        throw CMemoryException();
    }
}

void RasterImageRGB::convertFrom(FIBITMAP *bitmap)
{
    allocate();
    if (!bitmap || !FreeImage_HasPixels(bitmap))
        return;
    // FreeImage_GetPixelColor refuses everything but 16, 24 and 32-bit
    // standard bitmaps; those pixels stay zero.
    for (int y = 0; y < m_Height; ++y) {
        RGBQUAD *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        for (int x = 0; x < m_Width; ++x)
            FreeImage_GetPixelColor(bitmap, unsigned(x), unsigned(m_Height - 1 - y), &row[x]);
    }
}

RGBQUAD *RasterImageRGB::getPolarPixel(CPoint centre, float radius, float angle)
{
    const CPoint p = polarPoint(centre, radius, angle);
    if (p.x < 0 || p.y < 0 || p.x > m_Width - 1 || p.y > m_Height - 1)
        return nullptr;
    return getPixel(p.x, p.y);
}

FIBITMAP *RasterImageRGB::convert2FIBitmap() const
{
    FIBITMAP *bitmap = FreeImage_Allocate(m_Width, m_Height, m_BPP);
    if (!bitmap)
        return nullptr;
    for (int y = 0; y < m_Height; ++y) {
        const RGBQUAD *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        for (int x = 0; x < m_Width; ++x) {
            RGBQUAD quad = row[x];
            FreeImage_SetPixelColor(bitmap, unsigned(x), unsigned(m_Height - 1 - y), &quad);
        }
    }
    return bitmap;
}

std::unique_ptr<TVFImage> RasterImageRGB::convert2TVFImage() const
{
    auto image = std::make_unique<TVFImage>();
    if (FIBITMAP *bitmap = convert2FIBitmap())
        *image = bitmap; // the image takes the bitmap and marks the picture changed
    return image;
}

std::unique_ptr<cv::Mat_<cv::Vec3b>> RasterImageRGB::getRGBCVMatrix() const
{
    auto matrix = std::make_unique<cv::Mat_<cv::Vec3b>>(m_Height, m_Width);
    for (int y = 0; y < m_Height; ++y) {
        const RGBQUAD *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        cv::Vec3b *dst = matrix->ptr<cv::Vec3b>(y);
        for (int x = 0; x < m_Width; ++x)
            dst[x] = cv::Vec3b(row[x].rgbBlue, row[x].rgbGreen, row[x].rgbRed);
    }
    return matrix;
}

std::unique_ptr<cv::Mat> RasterImageRGB::channelMatrix(int channel) const
{
    auto matrix = std::make_unique<cv::Mat>(m_Height, m_Width, CV_8UC1);
    for (int y = 0; y < m_Height; ++y) {
        const RGBQUAD *row = m_pPixels.get() + size_t(m_Width) * size_t(y);
        uchar *dst = matrix->ptr<uchar>(y);
        for (int x = 0; x < m_Width; ++x)
            dst[x] = channel == 0 ? row[x].rgbBlue : channel == 1 ? row[x].rgbGreen : row[x].rgbRed;
    }
    return matrix;
}

std::unique_ptr<cv::Mat> RasterImageRGB::getRedChannelCVMatrix() const
{
    return channelMatrix(2);
}

std::unique_ptr<cv::Mat> RasterImageRGB::getGreenChannelCVMatrix() const
{
    return channelMatrix(1);
}

std::unique_ptr<cv::Mat> RasterImageRGB::getBlueChannelCVMatrix() const
{
    return channelMatrix(0);
}
