#include "imaging/BitmapExchange.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdint>
#include <cstring>

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

QByteArray BitmapExchange::toPackedDib(FIBITMAP *dib)
{
    if (!dib || FreeImage_GetImageType(dib) != FIT_BITMAP)
        return {};
    FIMEMORY *memory = FreeImage_OpenMemory();
    QByteArray packed;
    if (FreeImage_SaveToMemory(FIF_BMP, dib, memory, 0)) {
        BYTE *data = nullptr;
        DWORD size = 0;
        // The BMP file header (14 bytes) is all that differs from a packed DIB.
        if (FreeImage_AcquireMemory(memory, &data, &size) && size > 14)
            packed = QByteArray(reinterpret_cast<const char *>(data) + 14, int(size - 14));
    }
    FreeImage_CloseMemory(memory);
    return packed;
}

QByteArray BitmapExchange::bmpFileOfPackedDib(const QByteArray &packedDib)
{
    if (packedDib.size() < 40)
        return {};
    auto u32 = [&packedDib](int at) {
        uint32_t v = 0;
        std::memcpy(&v, packedDib.constData() + at, 4);
        return v;
    };
    auto u16 = [&packedDib](int at) {
        uint16_t v = 0;
        std::memcpy(&v, packedDib.constData() + at, 2);
        return v;
    };
    const uint32_t headerSize = u32(0);
    const uint16_t bitCount = u16(14);
    const uint32_t compression = u32(16);
    const uint32_t colorsUsed = u32(32);
    if (headerSize < 40 || headerSize > uint32_t(packedDib.size()) || colorsUsed > 256)
        return {};
    uint64_t offBits = 14ull + headerSize;
    if (headerSize == 40 && compression == 3) // BI_BITFIELDS masks follow the header
        offBits += 12;
    if (colorsUsed)
        offBits += 4ull * colorsUsed;
    else if (bitCount <= 8)
        offBits += 4ull << bitCount;
    if (offBits > 14ull + uint64_t(packedDib.size()))
        return {};

    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t fileSize = uint32_t(14 + packedDib.size());
    const auto offset = uint32_t(offBits);
    std::memcpy(file.data() + 2, &fileSize, 4);
    std::memcpy(file.data() + 10, &offset, 4);
    file.append(packedDib);
    return file;
}

FIBITMAP *BitmapExchange::fromQImage(const QImage &bitmap)
{
    if (bitmap.isNull())
        return nullptr;
    const int width = bitmap.width();
    const int height = bitmap.height();
    FIBITMAP *dib = nullptr;
    if (bitmap.format() == QImage::Format_Grayscale8) {
        dib = FreeImage_Allocate(width, height, 8);
        for (int y = 0; dib && y < height; ++y)
            std::memcpy(FreeImage_GetScanLine(dib, height - 1 - y), bitmap.constScanLine(y),
                        size_t(width));
    } else if (bitmap.format() == QImage::Format_Grayscale16) {
        dib = FreeImage_AllocateT(FIT_UINT16, width, height, 16);
        for (int y = 0; dib && y < height; ++y)
            std::memcpy(FreeImage_GetScanLine(dib, height - 1 - y), bitmap.constScanLine(y),
                        size_t(width) * 2);
    } else if (bitmap.hasAlphaChannel()) {
        const QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
        dib = FreeImage_Allocate(width, height, 32);
        for (int y = 0; dib && y < height; ++y)
            std::memcpy(FreeImage_GetScanLine(dib, height - 1 - y), argb.constScanLine(y),
                        size_t(width) * 4);
    } else {
        const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB32);
        dib = FreeImage_Allocate(width, height, 24);
        for (int y = 0; dib && y < height; ++y) {
            BYTE *dst = FreeImage_GetScanLine(dib, height - 1 - y);
            const auto *src = reinterpret_cast<const uint32_t *>(rgb.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                dst[3 * x + FI_RGBA_BLUE] = BYTE(src[x] & 0xFF);
                dst[3 * x + FI_RGBA_GREEN] = BYTE((src[x] >> 8) & 0xFF);
                dst[3 * x + FI_RGBA_RED] = BYTE((src[x] >> 16) & 0xFF);
            }
        }
    }
    return dib;
}

QImage BitmapExchange::toQImage(FIBITMAP *dib)
{
    if (!dib)
        return {};
    const int width = int(FreeImage_GetWidth(dib));
    const int height = int(FreeImage_GetHeight(dib));
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (type == FIT_UINT16) {
        QImage image(width, height, QImage::Format_Grayscale16);
        for (int y = 0; !image.isNull() && y < height; ++y)
            std::memcpy(image.scanLine(y), FreeImage_GetScanLine(dib, height - 1 - y),
                        size_t(width) * 2);
        return image;
    }
    if (type == FIT_BITMAP && FreeImage_GetBPP(dib) == 8
        && FreeImage_GetColorType(dib) == FIC_MINISBLACK) {
        QImage image(width, height, QImage::Format_Grayscale8);
        for (int y = 0; !image.isNull() && y < height; ++y)
            std::memcpy(image.scanLine(y), FreeImage_GetScanLine(dib, height - 1 - y),
                        size_t(width));
        return image;
    }
    FIBITMAP *standard = type == FIT_BITMAP ? dib : FreeImage_ConvertToStandardType(dib, TRUE);
    if (!standard)
        return {};
    FIBITMAP *dib32 = FreeImage_ConvertTo32Bits(standard);
    if (standard != dib)
        FreeImage_Unload(standard);
    if (!dib32)
        return {};
    const bool alpha = type == FIT_BITMAP && FreeImage_IsTransparent(dib);
    QImage image = fromBitmap32(dib32, alpha);
    FreeImage_Unload(dib32);
    return image;
}

QImage BitmapExchange::fromBitmap32(FIBITMAP *dib32, bool keepAlpha)
{
    const int width = int(FreeImage_GetWidth(dib32));
    const int height = int(FreeImage_GetHeight(dib32));
    QImage image(width, height, keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        const BYTE *src = FreeImage_GetScanLine(dib32, height - 1 - y);
        auto *dst = reinterpret_cast<uint32_t *>(image.scanLine(y));
        std::memcpy(dst, src, size_t(width) * 4);
        if (!keepAlpha) {
            for (int x = 0; x < width; ++x)
                dst[x] |= 0xFF000000u;
        }
    }
    return image;
}

bool BitmapExchange::toClipboard(FIBITMAP *dib)
{
    if (!dib || !haveGuiApplication())
        return false;
    const QImage image = toQImage(dib);
    if (image.isNull())
        return false;
    QGuiApplication::clipboard()->setImage(image);
    return true;
}

QImage BitmapExchange::clipboardImage()
{
    if (!haveGuiApplication())
        return {};
    return QGuiApplication::clipboard()->image();
}

QImage BitmapExchange::windowImage(WId window)
{
    if (!haveGuiApplication())
        return {};
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(window).toImage();
}
