#include "imaging/FreeImageDeviceIO.h"
#include "imaging/FreeImageErrorTrap.h"
#include "imaging/ImageFileCheck.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/RasterImageRGB.h"
#include "imaging/TVFImage.h"
#include "imaging/TiffMessageFilter.h"

#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"
#include "testsupport/FaultyPlaces.h"

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct BitmapDeleter
{
    void operator()(FIBITMAP *b) const
    {
        if (b)
            FreeImage_Unload(b);
    }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// Bitmaps are filled top row first through value(x, y); FreeImage keeps the
// bottom row first.
Bitmap makeGrey8(int w, int h, const std::function<int(int, int)> &value)
{
    Bitmap b(FreeImage_Allocate(w, h, 8));
    for (int y = 0; y < h; ++y) {
        BYTE *line = FreeImage_GetScanLine(b.get(), h - 1 - y);
        for (int x = 0; x < w; ++x)
            line[x] = BYTE(value(x, y));
    }
    return b;
}

Bitmap makeGrey16(int w, int h, const std::function<int(int, int)> &value)
{
    Bitmap b(FreeImage_AllocateT(FIT_UINT16, w, h, 16));
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<uint16_t *>(FreeImage_GetScanLine(b.get(), h - 1 - y));
        for (int x = 0; x < w; ++x)
            line[x] = uint16_t(value(x, y));
    }
    return b;
}

Bitmap makeRgb24(int w, int h)
{
    Bitmap b(FreeImage_Allocate(w, h, 24));
    for (int y = 0; y < h; ++y) {
        BYTE *line = FreeImage_GetScanLine(b.get(), h - 1 - y);
        for (int x = 0; x < w; ++x) {
            line[3 * x + FI_RGBA_RED] = BYTE(10 * x);
            line[3 * x + FI_RGBA_GREEN] = BYTE(20 * y);
            line[3 * x + FI_RGBA_BLUE] = BYTE(100 + x + y);
        }
    }
    return b;
}

// A picture that takes over the bitmap.
std::unique_ptr<TVFImage> imageOf(Bitmap bitmap)
{
    auto image = std::make_unique<TVFImage>();
    *image = bitmap.release();
    return image;
}

int pixel(TVFImage &image, int x, int y)
{
    auto *raster = dynamic_cast<RasterImageGS16 *>(image.getRasterImage());
    EXPECT_NE(raster, nullptr);
    return raster ? raster->getPixel(x, y) : -1;
}

QByteArray encode(FIBITMAP *dib, FREE_IMAGE_FORMAT fif, int flags = 0)
{
    FIMEMORY *memory = FreeImage_OpenMemory();
    EXPECT_TRUE(FreeImage_SaveToMemory(fif, dib, memory, flags));
    BYTE *data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    FreeImage_CloseMemory(memory);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray store(const TVFImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CArchive ar(&buffer, CArchive::store);
    ar.WriteObject(&image);
    ar.Close();
    return buffer.data();
}

std::unique_ptr<TVFImage> restore(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    return std::unique_ptr<TVFImage>(ar.ReadObjectAs<TVFImage>());
}

QRgb displayPixel(const TVFImage &image, int x, int y)
{
    return image.getDisplayImage().pixel(x, y);
}

} // namespace

// --- history -------------------------------------------------------------------

TEST(TVFImageHistory, ClearingTheRecordFlagSuppressesExactlyTheNextEntry)
{
    auto image = imageOf(makeGrey8(6, 4, [](int x, int y) { return x + 10 * y; }));
    image->setRecordHistory(FALSE);
    ASSERT_TRUE(image->rotate(90, 0));
    ASSERT_TRUE(image->flipVertical());
    EXPECT_EQ(image->GetPreprocessStr(), QStringLiteral("{Flip Vertically}"));
    EXPECT_TRUE(image->getRecordHistory());
}

TEST(TVFImageHistory, EveryOperationWritesItsEntry)
{
    auto image = imageOf(makeGrey8(12, 8, [](int x, int y) { return 3 * x + 7 * y; }));
    EXPECT_TRUE(image->rotate(90, 0));
    EXPECT_TRUE(image->Median(3));
    EXPECT_TRUE(image->ContrastAve(10));
    EXPECT_TRUE(image->Intensity(5));
    EXPECT_TRUE(image->invertPixels());
    EXPECT_TRUE(image->rescale(10, 6));
    EXPECT_TRUE(image->flipVertical());
    EXPECT_TRUE(image->flipHorizontal());
    EXPECT_TRUE(image->crop(CRect(1, 1, 5, 4)));
    EXPECT_EQ(image->Average(3), 0);
    EXPECT_EQ(image->ContrastMed(25), 0);
    EXPECT_EQ(image->Sharpness(37), 0);
    EXPECT_EQ(image->Threshold(10, 200), 0);
    EXPECT_EQ(image->GrayScale(8), 0);
    EXPECT_EQ(image->HistoEqualize(), 0);
    EXPECT_EQ(image->Emboss(2, 45), 0);
    EXPECT_EQ(image->Convolution(nullptr), 0);
    image->setImageAdjustmentValues(10, -5, 1.5);
    for (int p = 0; p <= 5; ++p)
        image->setPalette(fipWinImage::enPalette(p));
    image->autoContrastMaxRange(FALSE);
    image->AddPreprocessStr(QStringLiteral("by hand"));
    // These neither change the picture nor the history.
    EXPECT_EQ(image->Gamma(2.0), 0);
    EXPECT_EQ(image->ConvolutionExt(nullptr), 0);
    EXPECT_EQ(image->Combine(QStringLiteral("a"), QStringLiteral("b")), 0);
    image->setPalette(fipWinImage::enPalette(9));

    EXPECT_EQ(image->GetPreprocessStr(),
              QStringLiteral("{Rotatation of 90.00 Degrees}"
                             "{Noise Reduction: Median 3X3}"
                             "{Contrast: Average 10}"
                             "{Brighten: 5}"
                             "{invertPixels}"
                             "{Resize to 10 width by 6 height}"
                             "{Flip Vertically}"
                             "{Flip Horizontally}"
                             "{Crop}"
                             "{Blur: Average 3X3}"
                             "{Contrast: Median 2}"
                             "{Sharpen: 3}"
                             "{Threshold - Low: 10  |  High: 200}"
                             "{Gray Scale to 8 Bits Per Pixel}"
                             "{Equalize}"
                             "{Emboss : 45 - Light Direction }"
                             "{Spatial filter}"
                             "{adjustDisplayValue: Brightness 10.00,Contrast -5.00,Gamma 1.50}"
                             "{setting palette to normal}"
                             "{setting palette to show saturated pixel}"
                             "{setting palette to Shades of Green}"
                             "{setting palette to Shades of Red}"
                             "{setting palette to Shades of Blue}"
                             "{setting palette to auto contrast}"
                             "{autoContrastMaxRange}"
                             "{by hand}"));
    EXPECT_EQ(int(image->getPaletteType()), 9);
    EXPECT_EQ(image->GetSize(), CSize(4, 3));
}

TEST(TVFImageHistory, FailedOperationsAndEmptyPicturesWriteNothing)
{
    TVFImage empty;
    EXPECT_FALSE(empty.rotate(90));
    EXPECT_FALSE(empty.flipVertical());
    EXPECT_EQ(empty.Median(3), 0);
    EXPECT_EQ(empty.ContrastAve(10), 0);
    EXPECT_FALSE(empty.invertPixels());
    auto image = imageOf(makeGrey8(4, 4, [](int, int) { return 1; }));
    EXPECT_FALSE(image->crop(CRect(2, 2, 9, 9))); // outside the picture
    EXPECT_EQ(image->Median(4), 0); // even aperture
    EXPECT_TRUE(empty.GetPreprocessStr().isEmpty());
    EXPECT_TRUE(image->GetPreprocessStr().isEmpty());
    EXPECT_EQ(image->getWidth(), 4u);
}

// --- 16-bit intensity operations ------------------------------------------------

TEST(TVFImageProcessing, SixteenBitContrastAndIntensityUseTheLookupTable)
{
    const std::vector<int> values = {0, 1000, 32768, 40000, 65535};
    auto image = imageOf(makeGrey16(5, 1, [&](int x, int) { return values[size_t(x)]; }));
    ASSERT_TRUE(image->ContrastAve(0));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(pixel(*image, x, 0), values[size_t(x)]) << x;

    ASSERT_TRUE(image->Intensity(100));
    EXPECT_EQ(pixel(*image, 0, 0), 0);
    EXPECT_EQ(pixel(*image, 1, 0), 2000);
    EXPECT_EQ(pixel(*image, 2, 0), 65535);
    EXPECT_EQ(pixel(*image, 3, 0), 65535);

    auto contrast = imageOf(makeGrey16(3, 1, [](int x, int) { return 20000 * x; }));
    ASSERT_TRUE(contrast->ContrastAve(50)); // (v - 32768) * 1.5 + 32768
    EXPECT_EQ(pixel(*contrast, 0, 0), 0);
    EXPECT_EQ(pixel(*contrast, 1, 0), 13616);
    EXPECT_EQ(pixel(*contrast, 2, 0), 43616);

    // Only 16-bit grey is remapped by a table.
    auto grey8 = imageOf(makeGrey8(2, 1, [](int x, int) { return 40 * x; }));
    std::vector<unsigned short> table(65536, 7);
    EXPECT_EQ(grey8->apply16BitLUT(table.data()), 1);
    EXPECT_EQ(pixel(*grey8, 1, 0), 40);
    ASSERT_TRUE(grey8->Intensity(50)); // the library's brightness on 8 bits
    EXPECT_GT(pixel(*grey8, 1, 0), 40);
}

TEST(TVFImageProcessing, RasterFollowsEveryPixelChange)
{
    auto image = imageOf(makeGrey8(3, 2, [](int x, int y) { return 1 + x + 3 * y; }));
    RasterImage *raster = image->getRasterImage();
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(image->getRasterImage(), raster);
    EXPECT_EQ(pixel(*image, 0, 0), 1);

    ASSERT_TRUE(image->flipVertical());
    EXPECT_EQ(pixel(*image, 0, 0), 4);
    ASSERT_TRUE(image->rotate(90));
    EXPECT_EQ(image->getRasterImage()->getWidth(), 2);
    EXPECT_EQ(image->getRasterImage()->getHeight(), 3);
    // Inherited library operations are seen as well.
    ASSERT_TRUE(image->convertTo24Bits());
    EXPECT_TRUE(image->getRasterImage()->IsKindOf(RUNTIME_CLASS(RasterImageRGB)));
    ASSERT_TRUE(image->convertToGrayscale());
    EXPECT_TRUE(image->getRasterImage()->IsKindOf(RUNTIME_CLASS(RasterImageGS16)));
}

TEST(TVFImageProcessing, InversionComplementsSamplesButKeepsAlpha)
{
    auto grey = imageOf(makeGrey8(2, 1, [](int x, int) { return 10 + x; }));
    ASSERT_TRUE(grey->invertPixels());
    EXPECT_EQ(pixel(*grey, 0, 0), 245);
    auto deep = imageOf(makeGrey16(2, 1, [](int x, int) { return 1000 * x; }));
    ASSERT_TRUE(deep->invertPixels());
    EXPECT_EQ(pixel(*deep, 0, 0), 65535);
    EXPECT_EQ(pixel(*deep, 1, 0), 64535);

    Bitmap rgba(FreeImage_Allocate(1, 1, 32));
    BYTE *p = FreeImage_GetBits(rgba.get());
    p[FI_RGBA_RED] = 10;
    p[FI_RGBA_GREEN] = 20;
    p[FI_RGBA_BLUE] = 30;
    p[FI_RGBA_ALPHA] = 255;
    auto colour = imageOf(std::move(rgba));
    ASSERT_TRUE(colour->invertPixels());
    p = FreeImage_GetBits(static_cast<FIBITMAP *>(*colour));
    EXPECT_EQ(p[FI_RGBA_RED], 245);
    EXPECT_EQ(p[FI_RGBA_BLUE], 225);
    EXPECT_EQ(p[FI_RGBA_ALPHA], 255);

    TVFImage floating(FIT_FLOAT, 2, 2, 32);
    EXPECT_FALSE(floating.invertPixels());
}

TEST(TVFImageProcessing, MedianRespectsTheFilterLimitsAndKeepsThePalette)
{
    // A single bright pixel on a flat background disappears.
    auto image = imageOf(makeGrey8(7, 7, [](int x, int y) { return x == 3 && y == 3 ? 250 : 20; }));
    RGBQUAD *palette = image->getPalette();
    for (int i = 0; i < 256; ++i)
        palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = BYTE(255 - i);
    ASSERT_EQ(image->Median(3), 1);
    EXPECT_EQ(pixel(*image, 3, 3), 20);
    EXPECT_EQ(image->getPalette()[0].rgbRed, 255);
    EXPECT_EQ(image->Median(9), 1); // any odd aperture on 8 bits

    auto deep
        = imageOf(makeGrey16(7, 7, [](int x, int y) { return x == 3 && y == 3 ? 60000 : 500; }));
    EXPECT_EQ(deep->Median(7), 0); // beyond what the filter takes for 16 bits
    EXPECT_EQ(pixel(*deep, 3, 3), 60000);
    EXPECT_TRUE(deep->GetPreprocessStr().isEmpty());
    ASSERT_EQ(deep->Median(5), 1);
    EXPECT_EQ(pixel(*deep, 3, 3), 500);
}

// --- display settings and auto contrast ---------------------------------------------

TEST(TVFImageDisplay, AutoContrastLimitsFromTheHistogram)
{
    // 1000 pixels: lowCount 1, highCount 999.
    auto image = imageOf(makeGrey8(40, 25, [](int x, int y) {
        const int i = y * 40 + x;
        return i == 0 ? 0 : (i == 999 ? 255 : 100);
    }));
    image->setPalette(fipWinImage::PaletteAutoContrast);
    EXPECT_EQ(image->getDisplayRangeLow(), 1);
    EXPECT_EQ(image->getDisplayRangeHigh(), 101);

    auto deep = imageOf(makeGrey16(40, 25, [](int x, int y) {
        const int i = y * 40 + x;
        return i == 0 ? 1000 : (i == 999 ? 60000 : 3000);
    }));
    deep->calcuateAutoContrastLimitsUsingHistogram();
    EXPECT_EQ(deep->getDisplayRangeLow(), 4); // MulDiv(1001, 256, 65536)
    EXPECT_EQ(deep->getDisplayRangeHigh(), 12); // MulDiv(3001, 256, 65536)

    deep->autoContrastMaxRange(TRUE);
    EXPECT_EQ(deep->getDisplayRangeLow(), 3);
    EXPECT_EQ(deep->getDisplayRangeHigh(), 233);
}

TEST(TVFImageDisplay, SixteenBitPictureIsShownThroughThePalette)
{
    const std::vector<int> values = {0, 16384, 32768, 65535};
    auto image = imageOf(makeGrey16(4, 1, [&](int x, int) { return values[size_t(x)]; }));
    EXPECT_EQ(displayPixel(*image, 0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(displayPixel(*image, 3, 0), qRgb(255, 255, 255));
    EXPECT_EQ(qGray(displayPixel(*image, 2, 0)), 128);

    // Display settings alone rebuild the display.
    image->setPalette(fipWinImage::PaletteShadesOfGreen);
    EXPECT_EQ(displayPixel(*image, 2, 0), qRgb(0, 128, 0));
    image->setPalette(fipWinImage::PaletteSaturation);
    EXPECT_EQ(displayPixel(*image, 3, 0), qRgb(255, 0, 0));

    // Auto contrast over the middle half of the value range: the quarter is
    // black, the middle mid-grey and the top white, whatever the stretch of
    // the 16-bit samples to 8 bits.
    image->setPalette(fipWinImage::PaletteNormal);
    image->setDisplayRange(64, 192);
    image->setPaletteType(fipWinImage::PaletteAutoContrast);
    EXPECT_EQ(qGray(displayPixel(*image, 0, 0)), 0);
    EXPECT_LE(qGray(displayPixel(*image, 1, 0)), 2);
    EXPECT_NEAR(qGray(displayPixel(*image, 2, 0)), 128, 2);
    EXPECT_EQ(qGray(displayPixel(*image, 3, 0)), 255);

    image->setDisplayRange(100, 100); // no division by zero
    EXPECT_EQ(qGray(displayPixel(*image, 1, 0)), 0);
    EXPECT_EQ(qGray(displayPixel(*image, 3, 0)), 255);
}

TEST(TVFImageDisplay, AdjustmentsChangeTheDisplayNotThePixels)
{
    auto grey = imageOf(makeGrey8(2, 1, [](int x, int) { return 100 * x; }));
    grey->setPalette(fipWinImage::PaletteShadesOfRed);
    EXPECT_EQ(displayPixel(*grey, 1, 0), qRgb(100, 0, 0));
    grey->setPalette(fipWinImage::PaletteNormal);
    grey->setImageAdjustmentValues(50, 0, 1);
    EXPECT_GT(qGray(displayPixel(*grey, 1, 0)), 100);
    EXPECT_EQ(pixel(*grey, 1, 0), 100);
    EXPECT_EQ(grey->getPalette()[100].rgbRed, 100);

    auto colour = imageOf(makeRgb24(3, 2));
    colour->setImageAdjustmentValues(0, 0, 2.0);
    const QRgb shown = displayPixel(*colour, 1, 1);
    const QRgb again = displayPixel(*colour, 1, 1);
    EXPECT_EQ(shown, again); // no drift from repeated builds
    EXPECT_GT(qRed(shown), 10);
    auto *raster = static_cast<RasterImageRGB *>(colour->getRasterImage());
    EXPECT_EQ(raster->getPixel(1, 1)->rgbRed, 10);
}

TEST(TVFImageDisplay, DrawStretchesWithoutSmoothing)
{
    auto image = imageOf(makeGrey8(2, 1, [](int x, int) { return 200 * x; }));
    QImage target(6, 2, QImage::Format_RGB32);
    target.fill(Qt::blue);
    QPainter painter(&target);
    const CRect rect(1, 0, 5, 2);
    image->draw(&painter, &rect);
    painter.end();
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(3, 1), qRgb(200, 200, 200));
    EXPECT_EQ(target.pixel(4, 0), qRgb(200, 200, 200));
    EXPECT_EQ(target.pixel(5, 0), qRgb(0, 0, 255));
}

// --- document storage -----------------------------------------------------------------

TEST(TVFImageSerialize, RoundTripKeepsPixelsHistoryAndSettings)
{
    auto image = imageOf(makeGrey16(5, 3, [](int x, int y) { return 1000 * x + 17 * y + 3; }));
    image->SetPreprocessStr(QStringLiteral("{Crop}{Flip Vertically}"));
    image->fipWinImage::setImageAdjustmentValues(12.5, -7.25, 1.75);
    image->setDisplayRange(17, 201);
    image->setPaletteType(fipWinImage::PaletteShadesOfBlue);

    const QByteArray bytes = store(*image);
    // Class record, then the history, the TIFF and 36 bytes of settings.
    ASSERT_GT(bytes.size(), 48);
    EXPECT_EQ(bytes.left(14), QByteArray("\xFF\xFF\x01\x00\x08\x00TVFImage", 14));
    const QByteArray tail = bytes.right(36);
    double gamma = 0;
    int32_t low = 0, high = 0, palette = 0;
    std::memcpy(&gamma, tail.constData() + 16, 8);
    std::memcpy(&low, tail.constData() + 24, 4);
    std::memcpy(&high, tail.constData() + 28, 4);
    std::memcpy(&palette, tail.constData() + 32, 4);
    EXPECT_EQ(gamma, 1.75);
    EXPECT_EQ(low, 17);
    EXPECT_EQ(high, 201);
    EXPECT_EQ(palette, 4);

    auto back = restore(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->getImageType(), FIT_UINT16);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(pixel(*back, x, y), 1000 * x + 17 * y + 3);
    EXPECT_EQ(back->GetPreprocessStr(), image->GetPreprocessStr());
    EXPECT_EQ(back->getBrightness(), 12.5);
    EXPECT_EQ(back->getContrast(), -7.25);
    EXPECT_EQ(back->getGamma(), 1.75);
    EXPECT_EQ(back->getDisplayRangeLow(), 17);
    EXPECT_EQ(back->getDisplayRangeHigh(), 201);
    EXPECT_EQ(back->getPaletteType(), fipWinImage::PaletteShadesOfBlue);

    auto colour = restore(store(*imageOf(makeRgb24(4, 3))));
    ASSERT_TRUE(colour);
    auto *raster = static_cast<RasterImageRGB *>(colour->getRasterImage());
    EXPECT_EQ(raster->getPixel(3, 2)->rgbRed, 30);
    EXPECT_EQ(raster->getPixel(3, 2)->rgbGreen, 40);
    EXPECT_EQ(raster->getPixel(3, 2)->rgbBlue, 105);

    TVFImage empty;
    auto emptyBack = restore(store(empty));
    ASSERT_TRUE(emptyBack);
    EXPECT_FALSE(emptyBack->isValid());
}

TEST(TVFImageSerialize, SchemaZeroRecordLoadsWithDefaultSettings)
{
    Bitmap bitmap = makeGrey8(3, 2, [](int x, int y) { return 10 * x + y; });
    const QByteArray tiff = encode(bitmap.get(), FIF_TIFF);
    QByteArray record("\xFF\xFF\x00\x00\x08\x00TVFImage", 14);
    record.append(char(5)).append("hello"); // narrow string form
    const auto size = uint32_t(tiff.size());
    record.append(reinterpret_cast<const char *>(&size), 4).append(tiff);

    auto image = restore(record);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetPreprocessStr(), QStringLiteral("hello"));
    EXPECT_EQ(pixel(*image, 2, 1), 21);
    EXPECT_EQ(image->getBrightness(), 0.0);
    EXPECT_EQ(image->getContrast(), 0.0);
    EXPECT_EQ(image->getGamma(), 1.0);
    EXPECT_EQ(image->getDisplayRangeLow(), 0);
    EXPECT_EQ(image->getDisplayRangeHigh(), 255);
    EXPECT_EQ(image->getPaletteType(), fipWinImage::PaletteNormal);
}

TEST(TVFImageSerialize, DamagedPictureRaisesArchiveException)
{
    auto image = imageOf(makeGrey8(40, 30, [](int x, int y) { return x * y; }));
    const QByteArray good = store(*image);
    // The byte count follows the class record and the empty history (FF FE FF 00).
    const int countAt = 14 + 4;
    uint32_t size = 0;
    std::memcpy(&size, good.constData() + countAt, 4);
    ASSERT_EQ(int(countAt + 4 + size + 36), good.size());

    // Count beyond the input.
    QByteArray tooLong = good;
    const uint32_t huge = 0x7FFFFFF0u;
    std::memcpy(tooLong.data() + countAt, &huge, 4);
    EXPECT_THROW(restore(tooLong), CArchiveException);

    // TIFF cut short at many places (count adjusted), and bytes overwritten.
    int failures = 0;
    for (uint32_t cut = 0; cut < size; cut += std::max<uint32_t>(1, size / 40)) {
        QByteArray damaged = good.left(countAt);
        damaged.append(reinterpret_cast<const char *>(&cut), 4);
        damaged.append(good.mid(countAt + 4, int(cut)));
        damaged.append(good.right(36));
        try {
            restore(damaged);
        } catch (const CArchiveException &) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 30);
    for (uint32_t at = 0; at < size; at += 7) {
        QByteArray damaged = good;
        damaged[int(countAt + 4 + at)] = char(damaged[int(countAt + 4 + at)] ^ 0x5A);
        try {
            restore(damaged);
        } catch (const CArchiveException &) { }
    }
}

// --- loading ---------------------------------------------------------------------------

TEST(TVFImageLoading, EveryWritableFormatLoads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Bitmap grey = makeGrey8(16, 8, [](int x, int y) { return 8 * x + y; });
    Bitmap deep = makeGrey16(16, 8, [](int x, int y) { return 4000 * x + y; });
    Bitmap colour = makeRgb24(16, 8);
    struct Case
    {
        const char *name;
        FIBITMAP *dib;
        FREE_IMAGE_FORMAT fif;
        FREE_IMAGE_TYPE type;
        unsigned bpp;
        bool exact;
    };
    const Case cases[] = {
        {"g8.tif", grey.get(), FIF_TIFF, FIT_BITMAP, 8, true},
        {"g16.tif", deep.get(), FIF_TIFF, FIT_UINT16, 16, true},
        {"g8.png", grey.get(), FIF_PNG, FIT_BITMAP, 8, true},
        {"g16.png", deep.get(), FIF_PNG, FIT_UINT16, 16, true},
        {"g8.bmp", grey.get(), FIF_BMP, FIT_BITMAP, 8, true},
        {"c24.bmp", colour.get(), FIF_BMP, FIT_BITMAP, 24, true},
        {"g8.jpg", grey.get(), FIF_JPEG, FIT_BITMAP, 8, false},
        {"c24.jpg", colour.get(), FIF_JPEG, FIT_BITMAP, 24, false},
        {"g8.gif", grey.get(), FIF_GIF, FIT_BITMAP, 8, true},
        {"c24.tga", colour.get(), FIF_TARGA, FIT_BITMAP, 24, true},
        {"c24.psd", colour.get(), FIF_PSD, FIT_BITMAP, 24, true},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, encode(c.dib, c.fif));
        TVFImage image;
        ASSERT_EQ(image.CreateFromFileName(path), 1) << c.name;
        EXPECT_EQ(image.getImageType(), c.type) << c.name;
        EXPECT_EQ(image.getBitsPerPixel(), c.bpp) << c.name;
        EXPECT_EQ(image.GetSize(), CSize(16, 8)) << c.name;
        if (c.bpp == 24) {
            auto *raster = static_cast<RasterImageRGB *>(image.getRasterImage());
            EXPECT_NEAR(raster->getPixel(5, 3)->rgbRed, 50, c.exact ? 0 : 12) << c.name;
        } else {
            const int expected = c.type == FIT_UINT16 ? 4000 * 5 + 3 : 8 * 5 + 3;
            EXPECT_NEAR(pixel(image, 5, 3), expected, c.exact ? 0 : 6) << c.name;
        }
        // From memory as well.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        TVFImage fromMemory;
        EXPECT_EQ(fromMemory.Load(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                  bytes.size()),
                  1)
            << c.name;
        EXPECT_EQ(fromMemory.getBitsPerPixel(), c.bpp) << c.name;
    }
}

TEST(TVFImageLoading, TruncatedOrForeignFilesAreRefusedAndThePictureKept)
{
    QTemporaryDir dir;
    Bitmap grey = makeGrey8(64, 48, [](int x, int y) { return (x * 7 + y * 3) & 0xFF; });
    Bitmap colour = makeRgb24(64, 48);
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    image->SetPreprocessStr(QStringLiteral("{kept}"));

    const struct
    {
        const char *name;
        FIBITMAP *dib;
        FREE_IMAGE_FORMAT fif;
    } sources[] = {{"t.tif", grey.get(), FIF_TIFF},  {"t.png", grey.get(), FIF_PNG},
                   {"t.bmp", colour.get(), FIF_BMP}, {"t.jpg", colour.get(), FIF_JPEG},
                   {"t.psd", colour.get(), FIF_PSD}, {"t.tga", colour.get(), FIF_TARGA}};
    for (const auto &s : sources) {
        const QByteArray whole = encode(s.dib, s.fif);
        for (const double part : {0.0, 0.05, 0.5, 0.9}) {
            const QString path = dir.filePath(QString::fromLatin1(s.name));
            writeFile(path, whole.left(int(whole.size() * part)));
            EXPECT_EQ(image->CreateFromFileName(path), 0) << s.name << " " << part;
            QFile::remove(path);
        }
    }
    writeFile(dir.filePath(QStringLiteral("text.png")), "this is not a picture at all\n");
    EXPECT_EQ(image->CreateFromFileName(dir.filePath(QStringLiteral("text.png"))), 0);
    // Foreign bytes under every name the program knows are refused too.
    QByteArray noise;
    for (int i = 0; i < 3000; ++i)
        noise.append(char((i * 7919 + 13) % 251));
    for (const char *ext : {"tif", "bmp", "jpg", "pcx", "tga", "ras", "psd", "png", "gif"}) {
        const QString path = dir.filePath(QStringLiteral("noise.") + QLatin1String(ext));
        writeFile(path, noise);
        EXPECT_EQ(image->CreateFromFileName(path), 0) << ext;
        writeFile(path, QByteArray(200, '\0'));
        EXPECT_EQ(image->CreateFromFileName(path), 0) << ext;
    }
    writeFile(dir.filePath(QStringLiteral("notes.txt")), "plain text\n");
    EXPECT_EQ(image->CreateFromFileName(dir.filePath(QStringLiteral("notes.txt"))), 0);
    EXPECT_EQ(image->CreateFromFileName(dir.filePath(QStringLiteral("missing.tif"))), 0);
    // A valid picture no raster can be made of (1 bit per pixel).
    Bitmap mono(FreeImage_Allocate(8, 8, 1));
    writeFile(dir.filePath(QStringLiteral("mono.png")), encode(mono.get(), FIF_PNG));
    EXPECT_EQ(image->CreateFromFileName(dir.filePath(QStringLiteral("mono.png"))), 0);

    const QByteArray garbage("GIF89a\x01\x00garbage", 16);
    EXPECT_EQ(
        image->Load(reinterpret_cast<const unsigned char *>(garbage.constData()), garbage.size()),
        0);

    EXPECT_EQ(image->GetSize(), CSize(5, 4));
    EXPECT_EQ(pixel(*image, 4, 3), 7);
    EXPECT_EQ(image->GetPreprocessStr(), QStringLiteral("{kept}"));
}

TEST(TVFImageLoading, FileTypeFromNameAndContents)
{
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("gel.tiff")), FIF_TIFF);
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("a.b/gel.TIF")), FIF_TIFF);
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("gel.jpg")), FIF_JPEG);
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("gel.jpeg")), -1);
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("gel")), -1);
    EXPECT_EQ(TVFImage::GetFileType(QStringLiteral("scan.Png")), FIF_PNG);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("really_a_png.bmp"));
    Bitmap grey = makeGrey8(4, 4, [](int, int) { return 9; });
    writeFile(path, encode(grey.get(), FIF_PNG));
    QFile file(path);
    EXPECT_EQ(TVFImage::GetFileType(&file), FIF_PNG);
    TVFImage image;
    EXPECT_EQ(image.CreateFromFile(&file), 1);
    EXPECT_EQ(image.getFIF(), FIF_PNG);
}

// A minimal little-endian 16-bit grey TIFF, 2 x 1 pixels, written by hand so
// the PhotometricInterpretation tag can be set to WhiteIsZero.
QByteArray handMadeTiff16(int photometric, uint16_t first, uint16_t second)
{
    QByteArray t("II*\0", 4);
    auto put16 = [&t](int v) { t.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto put32 = [&](uint32_t v) { put16(int(v & 0xFFFF)); put16(int(v >> 16)); };
    const int entries = 8;
    const uint32_t dataAt = 8 + 2 + entries * 12 + 4;
    put32(8);
    put16(entries);
    auto entry = [&](int tag, int type, uint32_t value) {
        put16(tag);
        put16(type);
        put32(1);
        put32(value);
    };
    entry(256, 3, 2);           // width
    entry(257, 3, 1);           // height
    entry(258, 3, 16);          // bits per sample
    entry(259, 3, 1);           // no compression
    entry(262, 3, uint32_t(photometric));
    entry(273, 4, dataAt);      // strip offset
    entry(278, 3, 1);           // rows per strip
    entry(279, 4, 4);           // strip byte count
    put32(0);                   // no further image
    put16(first);
    put16(second);
    return t;
}

TEST(TVFImageLoading, SixteenBitWhiteIsZeroIsBroughtToBlackIsZero)
{
    for (const int photometric : {0, 1}) {
        const QByteArray bytes = handMadeTiff16(photometric, 100, 60000);
        TVFImage image;
        ASSERT_EQ(image.Load(reinterpret_cast<const unsigned char *>(bytes.constData()),
                             static_cast<unsigned long>(bytes.size())),
                  1);
        ASSERT_EQ(image.getImageType(), FIT_UINT16);
        const int a = photometric == 0 ? 65535 - 100 : 100;
        const int b = photometric == 0 ? 65535 - 60000 : 60000;
        EXPECT_EQ(pixel(image, 0, 0), a) << photometric;
        EXPECT_EQ(pixel(image, 1, 0), b) << photometric;
    }
}

TEST(TVFImageLoading, RealSixteenBitWhiteIsZeroScan)
{
    const QString white
        = QStringLiteral("../shared/gels/09_biorad1sc_test4_imglab_analysis_16bit_WhiteIsZero.tif");
    const QString black
        = QStringLiteral("../shared/gels/09b_biorad1sc_test4_ref_16bit_BlackIsZero.tif");
    if (!QFile::exists(white) || !QFile::exists(black))
        GTEST_SKIP() << "real gel scans not present";
    TVFImage image;
    ASSERT_EQ(image.CreateFromFileName(white), 1);
    EXPECT_EQ(image.getFIF(), FIF_TIFF);
    EXPECT_EQ(image.getImageType(), FIT_UINT16);
    EXPECT_EQ(image.GetSize(), CSize(696, 520));
    // WhiteIsZero samples are brought to black-is-zero: 65535 minus the value
    // stored, first file row at raster row 0.
    EXPECT_EQ(pixel(image, 0, 0), 65535 - 16);
    const int row259[] = {390, 484, 522, 480, 482, 587};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pixel(image, 300 + i, 259), 65535 - row259[i]);

    // The same samples tagged BlackIsZero are taken as stored.
    TVFImage reference;
    ASSERT_EQ(reference.CreateFromFileName(black), 1);
    auto *a = static_cast<RasterImageGS16 *>(image.getRasterImage());
    auto *b = static_cast<RasterImageGS16 *>(reference.getRasterImage());
    int differing = 0;
    for (int i = 0; i < 696 * 520; ++i)
        differing += a->getPixels()[i] != 65535 - b->getPixels()[i];
    EXPECT_EQ(differing, 0);
}

TEST(TVFImageLoading, OtherRealScansLoad)
{
    const QString lzw = QStringLiteral("../shared/gels/10_ornelles_rna_gel.tif");
    const QString png = QStringLiteral("../shared/gels/13_harman_gel-example.png");
    if (!QFile::exists(lzw) || !QFile::exists(png))
        GTEST_SKIP() << "real gel scans not present";
    TVFImage grey;
    ASSERT_EQ(grey.CreateFromFileName(lzw), 1);
    EXPECT_EQ(grey.GetSize(), CSize(1312, 628));
    EXPECT_TRUE(grey.getRasterImage()->IsKindOf(RUNTIME_CLASS(RasterImageGS16)));
    TVFImage colour;
    ASSERT_EQ(colour.CreateFromFileName(png), 1);
    EXPECT_EQ(colour.GetSize(), CSize(601, 974));
    EXPECT_TRUE(colour.getRasterImage()->IsKindOf(RUNTIME_CLASS(RasterImageRGB)));
}

// --- read-out, copies, OpenCV, saving ----------------------------------------------------

TEST(TVFImageReadOut, PixelStringAndImageInfo)
{
    auto grey = imageOf(makeGrey8(8, 4, [](int x, int y) { return x == 5 && y == 2 ? 42 : 0; }));
    QString text;
    const CPoint inside(5, 2);
    EXPECT_EQ(grey->GetFormatedPixelString(&inside, &text), 1);
    EXPECT_EQ(text, QStringLiteral("(005,002)=[042]"));
    const CPoint outside(8, 0);
    EXPECT_EQ(grey->GetFormatedPixelString(&outside, &text), 0);
    EXPECT_TRUE(text.isEmpty());

    auto colour = imageOf(makeRgb24(4, 3));
    const CPoint p(2, 1);
    EXPECT_EQ(colour->GetFormatedPixelString(&p, &text), 1);
    EXPECT_EQ(text, QStringLiteral("(002,001)=[020,020,103]"));

    QStringList info;
    grey->getImageInfo(info);
    ASSERT_EQ(info.size(), 4);
    EXPECT_EQ(info[0], QStringLiteral("Width (pixels)|8"));
    EXPECT_EQ(info[1], QStringLiteral("Height (pixels)|4"));
    EXPECT_EQ(info[2], QStringLiteral("Bits Per Pixel|8"));
    EXPECT_EQ(info[3], QStringLiteral("Image Size (MB)|0.001")); // 40 + 1024 + 32 bytes
}

TEST(TVFImageCopy, CopiesCarryPictureSettingsAndHistory)
{
    auto image = imageOf(makeGrey8(3, 2, [](int x, int) { return x; }));
    image->AddPreprocessStr(QStringLiteral("one"));
    image->setRecordHistory(FALSE);
    image->SetPaletteState(3);
    image->setDisplayRange(5, 99);
    image->setPaletteType(fipWinImage::PaletteShadesOfRed);
    ASSERT_NE(image->getRasterImage(), nullptr);

    TVFImage copy(*image);
    EXPECT_EQ(copy.GetPreprocessStr(), QStringLiteral("{one}"));
    EXPECT_FALSE(copy.getRecordHistory());
    EXPECT_EQ(copy.GetPaletteState(), 3);
    EXPECT_EQ(copy.getDisplayRangeHigh(), 99);
    EXPECT_EQ(copy.getPaletteType(), fipWinImage::PaletteShadesOfRed);
    EXPECT_NE(copy.getRasterImage(), image->getRasterImage());
    EXPECT_EQ(pixel(copy, 2, 0), 2);
    EXPECT_EQ(image->SetPaletteState(4), 3);

    // Assigning an empty picture empties the target.
    TVFImage target(*image);
    target = TVFImage();
    EXPECT_FALSE(target.isValid());
    EXPECT_EQ(target.getRasterImage(), nullptr);
}

TEST(TVFImageOpenCV, ExchangeKeepsRowsTopFirst)
{
    auto image = imageOf(makeGrey8(3, 2, [](int x, int y) { return 1 + x + 3 * y; }));
    cv::Mat m;
    ASSERT_TRUE(image->copytoOpenCV(m));
    EXPECT_EQ(m.type(), CV_8UC1);
    EXPECT_EQ(m.at<uchar>(0, 0), 1);
    EXPECT_EQ(m.at<uchar>(1, 2), 6);

    cv::Mat deep(2, 3, CV_16UC1);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            deep.at<uint16_t>(r, c) = uint16_t(20000 * r + c);
    ASSERT_TRUE(image->copyFromOpenCV(deep));
    EXPECT_EQ(image->getImageType(), FIT_UINT16);
    EXPECT_EQ(pixel(*image, 2, 1), 20002);

    const cv::Mat twoChannels(2, 2, CV_8UC2, cv::Scalar(1, 2));
    EXPECT_FALSE(image->copyFromOpenCV(twoChannels));
    EXPECT_EQ(pixel(*image, 2, 1), 20002);
    Bitmap mono(FreeImage_Allocate(4, 4, 1));
    auto monoImage = imageOf(std::move(mono));
    cv::Mat untouched(1, 1, CV_8UC1, cv::Scalar(7));
    EXPECT_FALSE(monoImage->copytoOpenCV(untouched));
    EXPECT_EQ(untouched.at<uchar>(0, 0), 7);
}

TEST(TVFImageSave, SavingChecksTheFormatAndNeverHalfWrites)
{
    QTemporaryDir dir;
    auto deep = imageOf(makeGrey16(4, 3, [](int x, int y) { return 10000 * x + y; }));
    const QString jpg = dir.filePath(QStringLiteral("deep.jpg"));
    writeFile(jpg, "previous contents");
    EXPECT_FALSE(deep->canSave(jpg));
    EXPECT_FALSE(deep->save(jpg));
    QFile previous(jpg);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), QByteArray("previous contents"));

    const QString png = dir.filePath(QStringLiteral("deep.png"));
    ASSERT_TRUE(deep->canSave(png));
    ASSERT_TRUE(deep->save(png));
    TVFImage back;
    ASSERT_EQ(back.CreateFromFileName(png), 1);
    EXPECT_EQ(pixel(back, 3, 2), 30002);
}

// A small picture fits in the writer's buffer, so a full disk refuses it only
// when the file is closed: the save must fail then too, leaving the previous
// file byte for byte and no temporary file beside it.
TEST(TVFImageSave, FailedSaveOnAFullDiskKeepsThePreviousFile)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("gel.png"));
    writeFile(png, "previous contents");
    auto image = imageOf(makeGrey8(6, 5, [](int x, int y) { return 30 * x + y; }));
    {
        FileSizeLimit full(8);
        EXPECT_FALSE(image->save(png));
    }
    QFile previous(png);
    ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
    EXPECT_EQ(previous.readAll(), QByteArray("previous contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("gel.png")}));
    // With room on the disk the same save replaces the file.
    ASSERT_TRUE(image->save(png));
    TVFImage back;
    ASSERT_EQ(back.CreateFromFileName(png), 1);
    EXPECT_EQ(pixel(back, 5, 4), 154);
}

TEST(TVFImageExchange, PackedDibRoundTrip)
{
    auto colour = imageOf(makeRgb24(5, 3));
    const QByteArray dib = colour->copyToHandle();
    ASSERT_GE(dib.size(), 40);
    TVFImage back;
    ASSERT_TRUE(back.copyFromHandle(dib));
    auto *raster = static_cast<RasterImageRGB *>(back.getRasterImage());
    EXPECT_EQ(raster->getPixel(4, 2)->rgbRed, 40);
    EXPECT_EQ(raster->getPixel(4, 2)->rgbBlue, 106);
    EXPECT_FALSE(back.copyFromHandle(dib.left(30)));
    EXPECT_FALSE(back.copyFromHandle(dib.left(60)));
    EXPECT_EQ(back.getWidth(), 5u);

    const QImage shown = back.toQImage();
    EXPECT_EQ(shown.pixel(4, 2), qRgb(40, 40, 106));

    QImage deep(3, 2, QImage::Format_Grayscale16);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            reinterpret_cast<uint16_t *>(deep.scanLine(y))[x] = uint16_t(30000 * y + x);
    ASSERT_TRUE(back.copyFromBitmap(deep));
    EXPECT_EQ(back.getImageType(), FIT_UINT16);
    EXPECT_EQ(pixel(back, 2, 1), 30002);
    EXPECT_EQ(back.toQImage(), deep);
}

// libtiff's reports of EXIF tags it does not know are dropped; the picture
// still loads. (Without the filter every TIFF read printed dozens of lines.)
TEST(TVFImageLoading, UnknownTiffTagReportsStayOffStandardError)
{
    ASSERT_TRUE(TiffMessageFilter::install());
    TVFImage source;
    ASSERT_TRUE(source.setSize(FIT_UINT16, 8, 4, 16));
    const QByteArray tiff = source.encode(FIF_TIFF, TIFF_DEFAULT);
    ASSERT_FALSE(tiff.isEmpty());
    testing::internal::CaptureStderr();
    TVFImage image;
    const int loaded = image.Load(reinterpret_cast<const unsigned char *>(tiff.constData()),
                                  static_cast<unsigned long>(tiff.size()));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(printed.find("TIFFFieldWithTag"), std::string::npos) << printed;
}

// --- TIFF structure -----------------------------------------------------------------

namespace {

// A little-endian TIFF (classic, or BigTIFF) of one uncompressed strip,
// written from a list of entries so that each test can damage one thing.
struct TiffEntry
{
    uint16_t tag;
    uint16_t type; // 3 SHORT, 4 LONG, 2 ASCII
    std::vector<uint32_t> values;
};

struct TiffParts
{
    QByteArray pixels;
    std::vector<TiffEntry> entries;
    bool big = false;
    bool loop = false; // the directory names itself as the next one
};

void putLe(QByteArray &out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

int unitOf(uint16_t type)
{
    return type == 3 ? 2 : type == 2 ? 1 : 4;
}

QByteArray buildTiff(const TiffParts &parts)
{
    const int word = parts.big ? 8 : 4;
    QByteArray out = parts.big ? QByteArray("II+\0\x08\0\0\0", 8) : QByteArray("II*\0", 4);
    const uint64_t pixelsAt = parts.big ? 16 : 8;
    const uint64_t directoryAt = pixelsAt + uint64_t(parts.pixels.size());
    putLe(out, directoryAt, word);
    out.append(parts.pixels);
    const int countSize = parts.big ? 8 : 2;
    const int entrySize = parts.big ? 20 : 12;
    uint64_t extraAt = directoryAt + countSize + parts.entries.size() * entrySize + word;
    QByteArray extra;
    putLe(out, parts.entries.size(), countSize);
    for (const TiffEntry &e : parts.entries) {
        putLe(out, e.tag, 2);
        putLe(out, e.type, 2);
        putLe(out, e.values.size(), word);
        QByteArray data;
        for (uint32_t v : e.values)
            putLe(data, v, unitOf(e.type));
        if (data.size() <= word) {
            data.append(QByteArray(word - data.size(), '\0'));
            out.append(data);
        } else {
            putLe(out, extraAt + uint64_t(extra.size()), word);
            extra.append(data);
        }
    }
    putLe(out, parts.loop ? directoryAt : 0, word);
    out.append(extra);
    return out;
}

// 8 x 4 grey pixels, value 10 x + y.
TiffParts greyTiff(bool big = false)
{
    TiffParts p;
    p.big = big;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            p.pixels.append(char(10 * x + y));
    const uint32_t pixelsAt = big ? 16 : 8;
    p.entries = {{256, 3, {8}},  {257, 3, {4}},
                 {258, 3, {8}},  {259, 3, {1}},
                 {262, 3, {1}},  {273, 4, {pixelsAt}},
                 {277, 3, {1}},  {278, 3, {4}},
                 {279, 4, {32}}, {305, 2, {'D', 'e', 'n', 's', 'o', 'r', 'a', 0}}};
    return p;
}

TiffEntry &entryOf(TiffParts &p, uint16_t tag)
{
    for (TiffEntry &e : p.entries) {
        if (e.tag == tag)
            return e;
    }
    p.entries.push_back({tag, 4, {}});
    std::sort(p.entries.begin(), p.entries.end(),
              [](const TiffEntry &a, const TiffEntry &b) { return a.tag < b.tag; });
    return entryOf(p, tag);
}

bool tiffIsSound(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const bool sound = ImageFileCheck::tiffIsSound(&buffer);
    EXPECT_EQ(buffer.pos(), 0);
    return sound;
}

int loads(const QByteArray &bytes, TVFImage *image)
{
    return image->Load(reinterpret_cast<const unsigned char *>(bytes.constData()),
                       static_cast<unsigned long>(bytes.size()));
}

} // namespace

TEST(ImageFileCheckTiff, SoundFilesPassAndLoad)
{
    for (const bool big : {false, true}) {
        const QByteArray bytes = buildTiff(greyTiff(big));
        EXPECT_TRUE(tiffIsSound(bytes)) << big;
        TVFImage image;
        ASSERT_EQ(loads(bytes, &image), 1) << big;
        EXPECT_EQ(image.GetSize(), CSize(8, 4));
        auto *raster = static_cast<RasterImageGS16 *>(image.getRasterImage());
        EXPECT_EQ(raster->getPixel(7, 3), 73) << big;
    }
    // One 16 x 16 tile holding the 8 x 4 picture, its rows 16 bytes apart;
    // and the same tile said to be longer than the file.
    TiffParts tiled = greyTiff();
    tiled.pixels = QByteArray(256, '\0');
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            tiled.pixels[16 * y + x] = char(10 * x + y);
    tiled.entries.erase(std::remove_if(tiled.entries.begin(), tiled.entries.end(),
                                       [](const TiffEntry &e) {
                                           return e.tag == 273 || e.tag == 278 || e.tag == 279;
                                       }),
                        tiled.entries.end());
    entryOf(tiled, 322) = {322, 3, {16}};
    entryOf(tiled, 323) = {323, 3, {16}};
    entryOf(tiled, 324).values = {8};
    entryOf(tiled, 325).values = {256};
    const QByteArray tiles = buildTiff(tiled);
    EXPECT_TRUE(tiffIsSound(tiles));
    TVFImage fromTiles;
    ASSERT_EQ(loads(tiles, &fromTiles), 1);
    EXPECT_EQ(pixel(fromTiles, 7, 3), 73);
    entryOf(tiled, 325).values = {4096};
    EXPECT_FALSE(tiffIsSound(buildTiff(tiled)));
    entryOf(tiled, 325).values = {256};
    entryOf(tiled, 323) = {323, 3, {2}}; // two tiles down, one given
    EXPECT_FALSE(tiffIsSound(buildTiff(tiled)));

    // What the library itself writes, in every layout the program saves.
    Bitmap deep(FreeImage_AllocateT(FIT_UINT16, 300, 200, 16));
    Bitmap colour(FreeImage_Allocate(300, 200, 24));
    for (FIBITMAP *dib : {deep.get(), colour.get()}) {
        for (const int flags : {TIFF_DEFAULT, TIFF_NONE, TIFF_PACKBITS, TIFF_DEFLATE, TIFF_LZW})
            EXPECT_TRUE(tiffIsSound(encode(dib, FIF_TIFF, flags))) << flags;
    }
}

// Each damage alone makes the file refused before FreeImage sees it, and the
// picture that was there stays.
TEST(ImageFileCheckTiff, DamagedStructureIsRefused)
{
    std::vector<std::pair<const char *, QByteArray>> damaged;
    auto add = [&damaged](const char *what, const std::function<void(TiffParts &)> &damage,
                          bool big = false) {
        TiffParts p = greyTiff(big);
        damage(p);
        damaged.emplace_back(what, buildTiff(p));
    };
    add("directory loop", [](TiffParts &p) { p.loop = true; });
    add(
        "directory loop, BigTIFF", [](TiffParts &p) { p.loop = true; }, true);
    add("strip past the end", [](TiffParts &p) { entryOf(p, 273).values = {5000}; });
    add("byte count past the end", [](TiffParts &p) { entryOf(p, 279).values = {5000}; });
    add(
        "byte count past the end, BigTIFF", [](TiffParts &p) { entryOf(p, 279).values = {5000}; },
        true);
    add("rows beyond the strip", [](TiffParts &p) {
        entryOf(p, 257).values = {40};
        entryOf(p, 278).values = {40};
    });
    add("too few strips", [](TiffParts &p) { entryOf(p, 278).values = {1}; });
    add("no strips", [](TiffParts &p) {
        p.entries.erase(std::remove_if(p.entries.begin(), p.entries.end(),
                                       [](const TiffEntry &e) { return e.tag == 273; }),
                        p.entries.end());
    });
    add("zero width", [](TiffParts &p) { entryOf(p, 256).values = {0}; });
    add("samples disagree", [](TiffParts &p) {
        entryOf(p, 277).values = {3};
        entryOf(p, 258).values = {8, 8};
    });
    add("palette of the wrong size", [](TiffParts &p) {
        entryOf(p, 262).values = {3};
        entryOf(p, 320) = {320, 3, std::vector<uint32_t>(3 * 16, 0)};
    });
    add("EXIF directory past the end", [](TiffParts &p) { entryOf(p, 34665).values = {90000}; });

    QByteArray header = buildTiff(greyTiff());
    header[2] = 43; // BigTIFF number, classic layout
    damaged.emplace_back("wrong version", header);
    QByteArray count = buildTiff(greyTiff());
    count[40] = char(0xFF); // entry count of the directory (at 8 + 32)
    count[41] = char(0xFF);
    damaged.emplace_back("entry count past the end", count);
    QByteArray value = buildTiff(greyTiff());
    // The Software entry (the last of ten) holds its text out of line.
    const int softwareValue = 40 + 2 + 9 * 12 + 8;
    value[softwareValue + 1] = char(0x7F);
    damaged.emplace_back("entry value past the end", value);
    damaged.emplace_back("header only", buildTiff(greyTiff()).left(8));

    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    for (const auto &[what, bytes] : damaged) {
        EXPECT_FALSE(tiffIsSound(bytes)) << what;
        EXPECT_EQ(loads(bytes, image.get()), 0) << what;
    }
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

// --- memory FreeImage must not touch -----------------------------------------------

namespace {

bool underValgrind()
{
    return qEnvironmentVariableIsSet("DENSORA_UNDER_VALGRIND");
}

// Runs one test of this program again under valgrind and gives valgrind's
// reports of FreeImage (or a library beneath it) looking at uninitialised
// memory or outside its blocks. Nothing when valgrind is not installed, and
// in a build under AddressSanitizer, which valgrind cannot run.
std::optional<QStringList> freeImageMemoryErrors(const QString &test)
{
#if defined(__SANITIZE_ADDRESS__)
    Q_UNUSED(test);
    return std::nullopt;
#else
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (valgrind.isEmpty())
        return std::nullopt;
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DENSORA_UNDER_VALGRIND"), QStringLiteral("1"));
    run.setProcessEnvironment(environment);
    run.start(valgrind,
              {QStringLiteral("--num-callers=40"),
               QFile::symLinkTarget(QStringLiteral("/proc/self/exe")),
               QStringLiteral("--gtest_filter=") + test});
    if (!run.waitForFinished(600000) || run.exitCode() != 0)
        return QStringList {QStringLiteral("the run under valgrind failed")};
    const QString log = QString::fromLocal8Bit(run.readAllStandardError());
    if (!log.contains(QStringLiteral("ERROR SUMMARY")))
        return QStringList {log};
    // Reports are blocks of lines between empty "==pid== " lines.
    QStringList errors;
    for (const QString &block : log.split(QRegularExpression(QStringLiteral("\\n==\\d+== \\n")))) {
        const bool memory = block.contains(QStringLiteral("uninitialised"))
            || block.contains(QStringLiteral("Invalid read"))
            || block.contains(QStringLiteral("Invalid write"));
        if (memory && block.contains(QStringLiteral("libfreeimage")))
            errors << block;
    }
    return errors;
#endif
}

} // namespace

// --- format detection of short inputs --------------------------------------------------

// FreeImage's format probes compare bytes they never got when the input is
// shorter than what they read; detection hands them short inputs followed by
// zeros. Valgrind sees uninitialised memory being looked at, so the probes
// are run once more under it when it is installed.
TEST(TVFImageDetection, ShortInputsAreProbedWithoutUninitialisedBytes)
{
    const QByteArray signatures[] = {QByteArray("II*\0\x08\0\0\0", 8),
                                     QByteArray("MM\0*", 4),
                                     QByteArray("\x89PNG\r\n\x1a\n", 8),
                                     QByteArray("GIF89a"),
                                     QByteArray("BM"),
                                     QByteArray("8BPS\0\x01", 6),
                                     QByteArray("\xFF\xD8\xFF\xE0", 4),
                                     QByteArray("\0\0\x02\0\0\0\0\0", 8),
                                     QByteArray("\x0A\x05\x01\x08", 4),
                                     QByteArray("\x59\xA6\x6A\x95", 4),
                                     QByteArray("P5\n"),
                                     QByteArray("\0", 1)};
    if (underValgrind()) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("short"));
        for (const QByteArray &signature : signatures) {
            for (int n = 0; n <= signature.size(); ++n) {
                QByteArray prefix = signature.left(n);
                writeFile(path, prefix);
                fipWinImage::detectFileType(path);
                prefix.reserve(64);
                fipMemoryIO memory(reinterpret_cast<BYTE *>(prefix.data()), DWORD(n));
                fipWinImage::detectMemoryType(memory);
            }
        }
        return;
    }
    // Whatever valgrind says, the answers are those of the leading bytes.
    QTemporaryDir dir;
    const QString tiny = dir.filePath(QStringLiteral("tiny.bmp"));
    writeFile(tiny, QByteArray("II*\0", 4));
    EXPECT_EQ(fipWinImage::detectFileContents(tiny), FIF_TIFF);
    writeFile(tiny, QByteArray());
    EXPECT_EQ(fipWinImage::detectFileContents(tiny), FIF_UNKNOWN);
    EXPECT_EQ(fipWinImage::detectFileType(tiny), FIF_BMP);

    const std::optional<QStringList> errors = freeImageMemoryErrors(
        QStringLiteral("TVFImageDetection.ShortInputsAreProbedWithoutUninitialisedBytes"));
    if (!errors)
        GTEST_SKIP() << "no run under valgrind (not installed, or an AddressSanitizer build)";
    EXPECT_TRUE(errors->isEmpty()) << errors->join(QStringLiteral("\n\n")).toStdString();
}

// --- Photoshop run-length rows ----------------------------------------------------------

namespace {

void putBe(QByteArray &out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// A grey 8 x 2 Photoshop file with run-length rows given as packed bytes.
QByteArray buildPsd(const std::vector<QByteArray> &rows)
{
    QByteArray out("8BPS", 4);
    putBe(out, 1, 2); // version
    out.append(QByteArray(6, '\0'));
    putBe(out, 1, 2); // channels
    putBe(out, 2, 4); // height
    putBe(out, 8, 4); // width
    putBe(out, 8, 2); // depth
    putBe(out, 1, 2); // grey
    putBe(out, 0, 4); // colour mode data
    putBe(out, 0, 4); // image resources
    putBe(out, 0, 4); // layers and masks
    putBe(out, 1, 2); // run-length compression
    for (const QByteArray &row : rows)
        putBe(out, uint32_t(row.size()), 2);
    for (const QByteArray &row : rows)
        out.append(row);
    return out;
}

QByteArray literalRow(int y)
{
    QByteArray row(1, char(7));
    for (int x = 0; x < 8; ++x)
        row.append(char(20 * x + y));
    return row;
}

bool psdIsComplete(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ImageFileCheck::psdIsComplete(&buffer);
}

} // namespace

// Every packed row must unpack to exactly one row from its own bytes:
// FreeImage's decoder writes past its row buffer for a longer run and reads
// past the packed row for a literal run that claims more bytes than it has.
TEST(ImageFileCheckPsd, RunLengthRowsMustUnpackToExactlyOneRow)
{
    // Sound: plain literal rows; a repeat run, a literal run and a no-op (-128).
    const QByteArray literal = buildPsd({literalRow(0), literalRow(1)});
    const QByteArray mixed
        = buildPsd({QByteArray("\xFD\x11\x03\x01\x02\x03\x04\x80", 8), literalRow(1)});
    for (const QByteArray &bytes : {literal, mixed}) {
        EXPECT_TRUE(psdIsComplete(bytes));
        TVFImage image;
        ASSERT_EQ(loads(bytes, &image), 1);
        EXPECT_EQ(image.GetSize(), CSize(8, 2));
        EXPECT_EQ(pixel(image, 7, 1), 141);
    }
    TVFImage fromMixed;
    ASSERT_EQ(loads(mixed, &fromMixed), 1);
    EXPECT_EQ(pixel(fromMixed, 0, 0), 0x11);
    EXPECT_EQ(pixel(fromMixed, 3, 0), 0x11);
    EXPECT_EQ(pixel(fromMixed, 7, 0), 4);

    const struct
    {
        const char *what;
        QByteArray row;
    } damaged[] = {
        {"repeat longer than the row", QByteArray("\xF1\x05", 2)},
        {"literal past the packed row", QByteArray("\x7F", 1) + literalRow(0).mid(1)},
        {"row too short", QByteArray("\x03\x01\x02\x03\x04", 5)},
        {"repeat without its byte", QByteArray("\x03\x01\x02\x03\x04\xFD", 6)},
        {"literal and repeat past the row", literalRow(0) + QByteArray("\xFF\x01", 2)},
    };
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    for (const auto &d : damaged) {
        const QByteArray bytes = buildPsd({d.row, literalRow(1)});
        EXPECT_FALSE(psdIsComplete(bytes)) << d.what;
        EXPECT_EQ(loads(bytes, image.get()), 0) << d.what;
        // The same damage in the last row.
        EXPECT_FALSE(psdIsComplete(buildPsd({literalRow(0), d.row}))) << d.what;
    }
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

namespace {

// An RGB Photoshop picture of 8 x 2 pixels, run-length coded: the rows of the
// red, green and blue planes in turn.
QByteArray buildRgbPsd(const std::vector<QByteArray> &rows)
{
    QByteArray out("8BPS", 4);
    putBe(out, 1, 2); // version
    out.append(QByteArray(6, '\0'));
    putBe(out, 3, 2); // channels
    putBe(out, 2, 4); // height
    putBe(out, 8, 4); // width
    putBe(out, 8, 2); // depth
    putBe(out, 3, 2); // RGB
    putBe(out, 0, 4); // colour mode data
    // Image resources: the resolution, as scanners write it.
    putBe(out, 28, 4);
    out.append("8BIM", 4);
    putBe(out, 1005, 2);
    putBe(out, 0, 2); // empty name, padded
    putBe(out, 16, 4);
    for (int i = 0; i < 2; ++i) {
        putBe(out, 72 << 16, 4);
        putBe(out, 1, 2);
        putBe(out, 1, 2);
    }
    putBe(out, 0, 4); // layers and masks
    putBe(out, 1, 2); // run-length compression
    for (const QByteArray &row : rows)
        putBe(out, uint32_t(row.size()), 2);
    for (const QByteArray &row : rows)
        out.append(row);
    return out;
}

// Loads through a FreeImage handle, as a caller with its own stream would.
bool loadsFromHandle(const QByteArray &bytes, TVFImage *image)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    FreeImageDeviceIO input(&buffer);
    return image->loadFromHandle(input.io(), input.handle()) != FALSE;
}

} // namespace

// Found fuzzing: a colour picture whose last plane has a row that unpacks past
// the row (a full literal run, then a repeat run) made FreeImage's decoder
// clear memory with a negative length. Every plane's rows are checked, and a
// picture read through a FreeImage handle passes the same checks as a file or
// memory: no way in reaches the decoder unchecked.
TEST(ImageFileCheckPsd, DamagedColourPictureNeverReachesTheDecoder)
{
    std::vector<QByteArray> rows;
    for (int plane = 0; plane < 3; ++plane) {
        for (int y = 0; y < 2; ++y)
            rows.push_back(QByteArray(1, char(7)) + QByteArray(8, char(40 * plane + y)));
    }
    const QByteArray sound = buildRgbPsd(rows);
    EXPECT_TRUE(psdIsComplete(sound));
    for (bool viaHandle : {false, true}) {
        SCOPED_TRACE(viaHandle ? "through a handle" : "from memory");
        TVFImage image;
        ASSERT_TRUE(viaHandle ? loadsFromHandle(sound, &image) : loads(sound, &image) == 1);
        EXPECT_EQ(image.GetSize(), CSize(8, 2));
        RGBQUAD colour {};
        ASSERT_TRUE(image.getPixelColor(3, 0, &colour)); // bottom-up: the second row
        EXPECT_EQ(int(colour.rgbRed), 1);
        EXPECT_EQ(int(colour.rgbGreen), 41);
        EXPECT_EQ(int(colour.rgbBlue), 81);
    }

    rows.back() += QByteArray("\xF7\x00\xF7\x00", 4);
    const QByteArray damaged = buildRgbPsd(rows);
    EXPECT_FALSE(psdIsComplete(damaged));
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    EXPECT_EQ(loads(damaged, image.get()), 0);
    EXPECT_FALSE(loadsFromHandle(damaged, image.get()));
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

// --- pictures too large to hold ----------------------------------------------------------

namespace {

QByteArray le(uint32_t value, int bytes)
{
    QByteArray out;
    putLe(out, value, bytes);
    return out;
}

QByteArray be(uint32_t value, int bytes)
{
    QByteArray out;
    putBe(out, value, bytes);
    return out;
}

// A few bytes each, declaring a picture far larger than they hold.
QByteArray hugeGif()
{
    QByteArray g("GIF89a");
    g += le(20000, 2) + le(13421, 2) + QByteArray("\0\0\0", 3);
    g += QByteArray("\x21\xF9\x04\x00\x00\x00\x00\x00", 8); // graphic control extension
    g += QByteArray(1, '\x2C') + le(0, 2) + le(0, 2) + le(20000, 2) + le(13421, 2) + '\0';
    g += QByteArray("\x08\x02\x00\x01\x00\x3B", 6);
    return g;
}

QByteArray hugeTiff()
{
    // PackBits-compressed rows need not fill the file; the structure is sound.
    TiffParts p = greyTiff();
    p.pixels = QByteArray("\x81\x00\x81\x00\x81\x00\x81\x00", 8);
    entryOf(p, 256).values = {1144};
    entryOf(p, 257) = {257, 4, {1048576}};
    entryOf(p, 259).values = {32773};
    entryOf(p, 278) = {278, 4, {1048576}};
    entryOf(p, 279).values = {8};
    return buildTiff(p);
}

} // namespace

// The size a header declares is read before anything is decoded; a picture
// that would need more than the limit is refused with a message naming its
// size, and the picture that was there stays.
TEST(TVFImageLoading, PicturesTooLargeToHoldAreRefusedBeforeDecoding)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += be(13, 4) + "IHDR" + be(40000, 4) + be(30000, 4) + QByteArray("\x08\x00\x00\x00\x00", 5);
    png += be(0, 4);
    QByteArray bmp("BM");
    bmp += le(0, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(30000, 4) + le(uint32_t(-30000), 4)
        + le(1, 2) + le(24, 2) + QByteArray(24, '\0');
    QByteArray jpeg("\xFF\xD8\xFF\xE0", 4);
    jpeg += be(16, 2) + QByteArray("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14);
    jpeg += QByteArray("\xFF\xC0", 2) + be(17, 2) + '\x08' + be(50000, 2) + be(40000, 2) + '\x03'
        + QByteArray(9, '\x11');
    QByteArray psd("8BPS", 4);
    psd += be(1, 2) + QByteArray(6, '\0') + be(3, 2) + be(90000, 4) + be(80000, 4) + be(8, 2)
        + be(3, 2) + QByteArray(12, '\0') + be(0, 2);

    const struct
    {
        const char *name;
        QByteArray bytes;
        const char *size;
    } cases[] = {
        {"huge.gif", hugeGif(), "20000 \u00d7 13421 pixels; it would need 1.5 GB"},
        {"huge.tif", hugeTiff(), "1144 \u00d7 1048576 pixels; it would need 6.7 GB"},
        {"huge.png", png, "40000 \u00d7 30000 pixels; it would need 6.7 GB"},
        {"huge.bmp", bmp, "30000 \u00d7 30000 pixels; it would need 8.4 GB"},
        {"huge.jpg", jpeg, "40000 \u00d7 50000 pixels; it would need 18.6 GB"},
        {"huge.psd", psd, "80000 \u00d7 90000 pixels; it would need 67.1 GB"},
    };
    QTemporaryDir dir;
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    for (const auto &c : cases) {
        ASSERT_LT(c.bytes.size(), 200) << c.name;
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.bytes);
        ScopedScriptedPrompts prompts;
        EXPECT_THROW(image->CreateFromFileName(path), CUserException) << c.name;
        EXPECT_EQ(prompts->Texts(),
                  QStringList({QStringLiteral("The picture is ") + QString::fromUtf8(c.size)
                               + QStringLiteral(" of memory, more than the 1 GB Densora allows.")}))
            << c.name;
        // From memory it is refused all the same, without a word.
        prompts->Clear();
        EXPECT_EQ(loads(c.bytes, image.get()), 0) << c.name;
        EXPECT_TRUE(prompts->Texts().isEmpty()) << c.name;
    }
    EXPECT_EQ(image->GetSize(), CSize(5, 4));

    // Inside a document the same picture stops the reading with the same message.
    const QByteArray good = store(*image);
    const int countAt = 14 + 4;
    uint32_t size = 0;
    std::memcpy(&size, good.constData() + countAt, 4);
    const QByteArray tiff = hugeTiff();
    QByteArray stored = good.left(countAt) + le(uint32_t(tiff.size()), 4) + tiff
        + good.mid(countAt + 4 + int(size));
    ScopedScriptedPrompts prompts;
    EXPECT_THROW(restore(stored), CUserException);
    ASSERT_EQ(prompts->Texts().size(), 1);
    EXPECT_TRUE(
        prompts->Texts().front().startsWith(QStringLiteral("The picture is 1144 \u00d7 1048576")));
}

// Pictures the fuzzer of the picture reader found: one crashed FreeImage's
// Photoshop decoder, two kept it decoding for over twenty seconds. Each is
// refused, from a file and from memory, and the picture already open is
// kept.
TEST(TVFImageLoading, PicturesFoundByFuzzingAreRefused)
{
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    const QDir damaged(QStringLiteral("imaging/tests/damaged"));
    const QStringList names = damaged.entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 3) << "run from the source folder";
    for (const QString &name : names) {
        const QString path = damaged.filePath(name);
        ScopedScriptedPrompts prompts;
        try {
            EXPECT_EQ(image->CreateFromFileName(path), 0) << name.toStdString();
        } catch (const CUserException &) { }
        // The two slow ones declare more than the memory limit and say so
        // before decoding; the caller gives the unreadable one its message.
        const bool slow = name.contains(QLatin1String("slow-decode"));
        ASSERT_EQ(prompts->Texts().size(), slow ? 1 : 0) << name.toStdString();
        if (slow) {
            EXPECT_TRUE(prompts->Texts().front().startsWith(QStringLiteral("The picture is ")));
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(loads(file.readAll(), image.get()), 0) << name.toStdString();
        EXPECT_EQ(image->GetSize(), CSize(5, 4)) << name.toStdString();
    }
    EXPECT_EQ(pixel(*image, 4, 3), 7);
}

// The limit is one figure for the picture, its working copy and the raster.
TEST(TVFImageLoading, MemoryLimitBoundary)
{
    // 8 bits: two bytes of bitmap and four of raster a pixel.
    const ImageFileCheck::PictureSize within {16384, 10922, 8};
    const ImageFileCheck::PictureSize over {16384, 10923, 8};
    EXPECT_LE(ImageFileCheck::memoryNeeded(within), double(ImageFileCheck::kPictureMemoryLimit));
    EXPECT_TRUE(ImageFileCheck::sizeRefusal(within).isEmpty());
    EXPECT_EQ(ImageFileCheck::sizeRefusal(over),
              QStringLiteral("The picture is 16384 \u00d7 10923 pixels; it would need 1.1 GB of "
                             "memory, more than the 1 GB Densora allows."));
    // Scan lines are padded to four bytes; 16-bit samples take two.
    EXPECT_EQ(ImageFileCheck::memoryNeeded({3, 2, 8}), 2.0 * 4 * 2 + 4.0 * 6);
    EXPECT_EQ(ImageFileCheck::memoryNeeded({3, 2, 16}), 2.0 * 8 * 2 + 4.0 * 6);
}

// libtiff's errors go to the program's message handling, not to standard
// error: a strip libtiff cannot unpack refuses the picture, and the user
// sees the program's one message. Its warnings are dropped.
TEST(TVFImageLoading, LibtiffReportsStayOffStandardErrorAndRefuseThePicture)
{
    ASSERT_TRUE(TiffMessageFilter::install());
    TiffParts zip = greyTiff();
    zip.pixels = QByteArray(32, char(0xFF));
    entryOf(zip, 259).values = {8};
    const QByteArray bytes = buildTiff(zip);
    ASSERT_TRUE(tiffIsSound(bytes));

    testing::internal::CaptureStderr();
    FreeImageErrorTrap trap;
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    const int loaded = loads(bytes, image.get());
    Bitmap deep(FreeImage_AllocateT(FIT_UINT16, 8, 4, 16));
    const QByteArray deflated = encode(deep.get(), FIF_TIFF, TIFF_DEFLATE);
    const std::string printed = testing::internal::GetCapturedStderr();

    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
    EXPECT_EQ(printed, std::string());
    ASSERT_FALSE(trap.messages().isEmpty());
    EXPECT_TRUE(trap.messages().join(QLatin1Char('\n')).contains(QStringLiteral("ZIPDecode")))
        << trap.messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(deflated.isEmpty());
}

// FreeImage's GIF decoder reads an image's data blocks without looking at
// what its reads return: on a file cut inside them it looped for ever. Every
// chain of blocks must end inside the file before the decoder sees it.
TEST(TVFImageLoading, GifsCutShortOrWithBrokenBlocksAreRefused)
{
    Bitmap grey = makeGrey8(64, 48, [](int x, int y) { return (x * 7 + y * 3) & 0xFF; });
    const QByteArray whole = encode(grey.get(), FIF_GIF);
    ASSERT_EQ(whole.back(), char(0x3B));
    auto isComplete = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return ImageFileCheck::gifIsComplete(&buffer);
    };
    EXPECT_TRUE(isComplete(whole));
    TVFImage shown;
    ASSERT_EQ(loads(whole, &shown), 1);
    EXPECT_EQ(pixel(shown, 5, 3), 44);

    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    for (int cut = 1; cut < whole.size(); ++cut) {
        const QByteArray bytes = whole.left(cut);
        EXPECT_FALSE(isComplete(bytes)) << cut;
        EXPECT_EQ(loads(bytes, image.get()), 0) << cut;
    }
    // The first image's code size and first data block follow its
    // descriptor and local colour table, after the extensions.
    auto tableSize = [](int flags) { return (flags & 0x80) ? 3 << ((flags & 7) + 1) : 0; };
    int at = 13 + tableSize(uint8_t(whole[10]));
    while (whole[at] == char(0x21)) {
        at += 2;
        while (whole[at] != 0)
            at += 1 + uint8_t(whole[at]);
        ++at;
    }
    ASSERT_EQ(whole[at], char(0x2C));
    const int codeAt = at + 10 + tableSize(uint8_t(whole[at + 9]));
    QByteArray codeSize = whole;
    codeSize[codeAt] = char(12);
    QByteArray longBlock = whole;
    longBlock[codeAt + 1] = char(0xFF);
    longBlock.truncate(codeAt + 1 + 200);
    QByteArray unknownBlock = whole;
    unknownBlock[whole.size() - 1] = char(0x99);
    for (const QByteArray &bytes : {codeSize, longBlock, unknownBlock}) {
        EXPECT_FALSE(isComplete(bytes));
        EXPECT_EQ(loads(bytes, image.get()), 0);
    }
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

// FreeImage's TARGA decoder reads past its buffer on run-length data cut
// short; the packets must make up exactly the picture inside the file.
TEST(TVFImageLoading, TargaRunLengthDataCutShortIsRefused)
{
    Bitmap colour = makeRgb24(37, 23);
    const QByteArray packed = encode(colour.get(), FIF_TARGA, TARGA_SAVE_RLE);
    const QByteArray plain = encode(colour.get(), FIF_TARGA);
    auto isComplete = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return ImageFileCheck::targaIsComplete(&buffer);
    };
    for (const QByteArray &whole : {packed, plain}) {
        EXPECT_TRUE(isComplete(whole));
        TVFImage image;
        ASSERT_EQ(loads(whole, &image), 1);
        auto *raster = static_cast<RasterImageRGB *>(image.getRasterImage());
        EXPECT_EQ(raster->getPixel(36, 22)->rgbBlue, 100 + 36 + 22);
    }
    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    // The version 2 footer takes the last 26 bytes; the pixels come before it.
    for (int cut = 1; cut < packed.size() - 26; ++cut) {
        const QByteArray bytes = packed.left(cut);
        EXPECT_FALSE(isComplete(bytes)) << cut;
        EXPECT_EQ(loads(bytes, image.get()), 0) << cut;
    }
    // 2 x 2 pixels in two runs of two; a second run of three runs past them.
    QByteArray header(18, '\0');
    header[2] = 10; // run-length true colour
    header[12] = 2;
    header[14] = 2;
    header[16] = 24;
    const QByteArray exact = header + QByteArray("\x81\x10\x20\x30\x81\x40\x50\x60", 8);
    const QByteArray overlong = header + QByteArray("\x81\x10\x20\x30\x82\x40\x50\x60", 8);
    EXPECT_TRUE(isComplete(exact));
    TVFImage small;
    EXPECT_EQ(loads(exact, &small), 1);
    EXPECT_FALSE(isComplete(overlong));
    EXPECT_EQ(loads(overlong, image.get()), 0);
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

namespace {

// A run-length BMP of 6 x 3 grey pixels.
QByteArray runLengthBmp()
{
    // 6 x 3 pixels, bottom row first: a run; a literal of three and a run;
    // a run, then the end of the bitmap.
    const QByteArray codes("\x06\x10\x00\x00"
                           "\x00\x03\x21\x22\x23\x00\x03\x24\x00\x00"
                           "\x06\x30\x00\x01",
                           18);
    const uint32_t pixelsAt = 14 + 40 + 1024;
    QByteArray whole("BM");
    whole += le(pixelsAt + uint32_t(codes.size()), 4) + le(0, 4) + le(pixelsAt, 4);
    whole += le(40, 4) + le(6, 4) + le(3, 4) + le(1, 2) + le(8, 2) + le(1, 4)
        + le(uint32_t(codes.size()), 4) + le(2835, 4) + le(2835, 4) + le(256, 4) + le(0, 4);
    for (int i = 0; i < 256; ++i)
        whole += QByteArray(3, char(i)) + '\0';
    whole += codes;
    return whole;
}

} // namespace

// FreeImage's run-length BMP decoder goes on with what a read past the end
// did not give it (valgrind saw it branch on uninitialised memory); the codes
// must reach the end of the bitmap inside the file and stay in the picture.
TEST(TVFImageLoading, RunLengthBmpCutShortIsRefused)
{
    const uint32_t pixelsAt = 14 + 40 + 1024;
    const QByteArray whole = runLengthBmp();
    auto isComplete = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return ImageFileCheck::bmpIsComplete(&buffer);
    };
    EXPECT_TRUE(isComplete(whole));
    TVFImage shown;
    ASSERT_EQ(loads(whole, &shown), 1);
    EXPECT_EQ(pixel(shown, 1, 1), 0x22);
    EXPECT_EQ(pixel(shown, 4, 1), 0x24);
    EXPECT_EQ(pixel(shown, 5, 2), 0x10);
    // What the library writes passes too (it cannot read its own, though).
    Bitmap grey = makeGrey8(37, 23, [](int x, int y) { return (x / 4) * 20 + y; });
    EXPECT_TRUE(isComplete(encode(grey.get(), FIF_BMP, BMP_SAVE_RLE)));

    auto image = imageOf(makeGrey8(5, 4, [](int x, int y) { return x + y; }));
    for (int cut = int(pixelsAt); cut < whole.size(); ++cut) {
        const QByteArray bytes = whole.left(cut);
        EXPECT_FALSE(isComplete(bytes)) << cut;
        EXPECT_EQ(loads(bytes, image.get()), 0) << cut;
    }
    // A first run longer than the row, a move out of the picture.
    QByteArray wide = whole;
    wide[int(pixelsAt)] = char(7);
    QByteArray away = whole;
    away.replace(int(pixelsAt), 4, QByteArray("\x00\x02\x00\x05", 4));
    for (const QByteArray &bytes : {wide, away}) {
        EXPECT_FALSE(isComplete(bytes));
        EXPECT_EQ(loads(bytes, image.get()), 0);
    }
    EXPECT_EQ(image->GetSize(), CSize(5, 4));
}

// The run-length BMP and TARGA checks keep FreeImage's decoders off damaged
// data: under valgrind, no load of a cut file has them look at memory they
// must not.
TEST(TVFImageLoading, CutRunLengthDataNeverMakesTheDecodersTouchMemoryTheyMustNot)
{
    if (underValgrind()) {
        Bitmap colour = makeRgb24(37, 23);
        const QByteArray tga = encode(colour.get(), FIF_TARGA, TARGA_SAVE_RLE);
        const QByteArray bmp = runLengthBmp();
        for (const QByteArray &whole : {tga, bmp}) {
            for (int cut = 18; cut < whole.size(); cut += whole == tga ? 5 : 1) {
                TVFImage image;
                loads(whole.left(cut), &image);
            }
        }
        return;
    }
    const std::optional<QStringList> errors = freeImageMemoryErrors(QStringLiteral(
        "TVFImageLoading.CutRunLengthDataNeverMakesTheDecodersTouchMemoryTheyMustNot"));
    if (!errors)
        GTEST_SKIP() << "no run under valgrind (not installed, or an AddressSanitizer build)";
    EXPECT_TRUE(errors->isEmpty()) << errors->join(QStringLiteral("\n\n")).toStdString();
}
