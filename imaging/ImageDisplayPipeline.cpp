#include "imaging/ImageDisplayPipeline.h"

#include "imaging/BitmapExchange.h"
#include "imaging/fipWinImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

const QImage &ImageDisplayPipeline::image(FIBITMAP *picture, bool pixelsChanged,
                                          const Settings &settings, BOOL useFileBkg,
                                          RGBQUAD *appBkColor, FIBITMAP *bg)
{
    const bool sameBackground = m_usedFileBkg == useFileBkg && m_hadAppBk == (appBkColor != nullptr)
        && m_bg == bg && (!appBkColor || std::memcmp(appBkColor, &m_appBk, sizeof(RGBQUAD)) == 0);
    if (!pixelsChanged && !m_dirty && sameBackground)
        return m_image;

    m_image = QImage();
    if (picture) {
        const BitmapHandle display
            = buildDisplayBitmap(picture, settings, useFileBkg, appBkColor, bg);
        if (display) {
            const BitmapHandle dib32 = FreeImage_GetImageType(display.get()) == FIT_BITMAP
                    && FreeImage_GetBPP(display.get()) == 32
                ? BitmapHandle::borrowing(display.get())
                : BitmapHandle::owning(FreeImage_ConvertTo32Bits(display.get()));
            if (dib32)
                m_image = BitmapExchange::fromBitmap32(dib32.get(), false);
        }
    }
    m_usedFileBkg = useFileBkg;
    m_hadAppBk = appBkColor != nullptr;
    if (appBkColor)
        m_appBk = *appBkColor;
    m_bg = bg;
    m_dirty = false;
    return m_image;
}

BitmapHandle ImageDisplayPipeline::buildDisplayBitmap(FIBITMAP *picture, const Settings &settings,
                                                      BOOL useFileBkg, RGBQUAD *appBkColor,
                                                      FIBITMAP *bg)
{
    if (!picture)
        return {};
    BitmapHandle display;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(picture);
    if (type == FIT_BITMAP) {
        const BOOL hasBackground = FreeImage_HasBackgroundColor(picture);
        const BOOL transparent = FreeImage_IsTransparent(picture);
        if (!transparent && (!hasBackground || !useFileBkg)) {
            display = BitmapHandle::borrowing(picture);
        } else {
            FIBITMAP *composite = FreeImage_Composite(picture, useFileBkg, appBkColor, bg);
            display
                = composite ? BitmapHandle::owning(composite) : BitmapHandle::borrowing(picture);
        }
    } else {
        FIBITMAP *made = nullptr;
        if (type == FIT_COMPLEX) {
            FIBITMAP *magnitude = FreeImage_GetComplexChannel(picture, FICC_MAG);
            if (magnitude) {
                made = FreeImage_ConvertToStandardType(magnitude, TRUE);
                FreeImage_Unload(magnitude);
            }
        } else if (type == FIT_RGBF || type == FIT_RGBAF || type == FIT_FLOAT) {
            if (settings.toneMappingOperator == FITMO_REINHARD05)
                made = FreeImage_TmoReinhard05Ex(
                    picture, settings.toneMappingParam1, settings.toneMappingParam2,
                    settings.toneMappingParam3, settings.toneMappingParam4);
            else
                made
                    = FreeImage_ToneMapping(picture, settings.toneMappingOperator,
                                            settings.toneMappingParam1, settings.toneMappingParam2);
        } else if (type == FIT_RGBA16) {
            if (FIBITMAP *dib32 = FreeImage_ConvertTo32Bits(picture)) {
                made = FreeImage_Composite(dib32, useFileBkg, appBkColor, bg);
                FreeImage_Unload(dib32);
            }
        } else {
            made = FreeImage_ConvertToStandardType(picture, TRUE);
        }
        if (!made)
            return {};
        display = BitmapHandle::owning(made);
    }

    const double brightness = finiteOr(settings.brightness, 0);
    const double contrast = finiteOr(settings.contrast, 0);
    const double gamma = settings.gamma > 0 && std::isfinite(settings.gamma) ? settings.gamma : 1.0;
    const bool adjust = brightness != 0 || contrast != 0 || gamma != 1.0;
    const bool palette = paletteStepApplies(picture) && FreeImage_GetBPP(display.get()) == 8
        && FreeImage_GetPalette(display.get()) != nullptr;
    if (!palette && !adjust)
        return display;

    // Never alter the picture itself for display.
    if (!display.isOwner()) {
        FIBITMAP *copy = FreeImage_Clone(display.get());
        if (!copy)
            return {};
        display = BitmapHandle::owning(copy);
    }
    if (palette)
        applyPaletteStep(picture, settings, display.get());
    if (adjust) {
        const unsigned bpp = FreeImage_GetBPP(display.get());
        if (bpp != 8 && bpp != 24 && bpp != 32) {
            display = BitmapHandle::owning(FreeImage_ConvertTo24Bits(display.get()));
            if (!display)
                return {};
        }
        FreeImage_AdjustColors(display.get(), brightness, contrast, gamma, FALSE);
    }
    return display;
}

bool ImageDisplayPipeline::paletteStepApplies(FIBITMAP *picture)
{
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(picture);
    if (type == FIT_UINT16 || type == FIT_INT16)
        return true;
    const unsigned bpp = FreeImage_GetBPP(picture);
    if ((bpp == 8 || bpp == 16) && FreeImage_GetColorsUsed(picture) == 0)
        return true;
    // An 8-bit picture always has a palette, so grey ones are named here:
    // palettes are what grey pictures are shown with.
    return type == FIT_BITMAP && bpp == 8 && FreeImage_GetColorType(picture) == FIC_MINISBLACK;
}

void ImageDisplayPipeline::applyPaletteStep(FIBITMAP *picture, const Settings &settings,
                                            FIBITMAP *display)
{
    RGBQUAD *pal = FreeImage_GetPalette(display);
    const int entries = std::min<int>(256, int(FreeImage_GetColorsUsed(display)));

    // The display range is on the 8-bit scale of the pixel values. A 16-bit
    // picture is shown stretched from its smallest to its largest sample, so
    // entry i stands for the value min + i (max - min) / 255, not for i.
    double first = 0;
    double step = 1;
    if (settings.paletteType == fipWinImage::PaletteAutoContrast
        && FreeImage_GetImageType(picture) == FIT_UINT16) {
        unsigned minimum = 65535;
        unsigned maximum = 0;
        const unsigned width = FreeImage_GetWidth(picture);
        const unsigned height = FreeImage_GetHeight(picture);
        for (unsigned y = 0; y < height; ++y) {
            const auto *line
                = reinterpret_cast<const uint16_t *>(FreeImage_GetScanLine(picture, int(y)));
            for (unsigned x = 0; x < width; ++x) {
                minimum = std::min<unsigned>(minimum, line[x]);
                maximum = std::max<unsigned>(maximum, line[x]);
            }
        }
        if (maximum == minimum) { // the library then scales 0..255 one to one
            minimum = 0;
            maximum = 255;
        }
        first = minimum / 256.0;
        step = (maximum - minimum) / 255.0 / 256.0;
    }

    const double low = settings.displayRangeLow;
    const double high = settings.displayRangeHigh;
    for (int i = 0; i < entries; ++i) {
        const auto level = BYTE(i);
        RGBQUAD &e = pal[i];
        e.rgbReserved = 0;
        switch (settings.paletteType) {
        case fipWinImage::PaletteNormal:
            e.rgbBlue = e.rgbGreen = e.rgbRed = level;
            break;
        case fipWinImage::PaletteSaturation:
            e.rgbBlue = e.rgbGreen = e.rgbRed = level;
            if (i == 255) {
                e.rgbBlue = 0;
                e.rgbGreen = 0;
                e.rgbRed = 255;
            }
            break;
        case fipWinImage::PaletteShadesOfGreen:
            e.rgbBlue = 0;
            e.rgbGreen = level;
            e.rgbRed = 0;
            break;
        case fipWinImage::PaletteShadesOfRed:
            e.rgbBlue = 0;
            e.rgbGreen = 0;
            e.rgbRed = level;
            break;
        case fipWinImage::PaletteShadesOfBlue:
            e.rgbBlue = level;
            e.rgbGreen = 0;
            e.rgbRed = 0;
            break;
        case fipWinImage::PaletteAutoContrast: {
            const double value = first + i * step;
            double g;
            if (high == low) {
                // A range of one level: a step instead of a division by zero.
                g = value < low ? 0 : 255;
            } else {
                const double s = 256.0 / (high - low);
                g = std::floor(std::min(255.0, std::max(0.0, value * s - s * low)) + 0.5);
            }
            e.rgbBlue = e.rgbGreen = e.rgbRed = BYTE(g);
            break;
        }
        }
    }
}
