#include "imaging/fipWinImage.h"

#include "imaging/FreeImageErrorTrap.h"
#include "imaging/ImageFileCheck.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstring>

IMPLEMENT_SERIAL(fipWinImage, CObject, 1 | VERSIONABLE_SCHEMA)

namespace {

// FreeImage I/O over a QIODevice: pictures are written through QSaveFile
// and read with a check for input that ends early. A read past the end is
// answered with zeros (some decoders ignore the count and would otherwise
// work on stale memory, or loop for ever) and remembered.
struct DeviceHandle
{
    QIODevice *device;
    bool readPastEnd = false;
};

unsigned DLL_CALLCONV deviceRead(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto *h = static_cast<DeviceHandle *>(handle);
    const qint64 wanted = qint64(size) * count;
    if (wanted <= 0)
        return 0;
    qint64 got = h->device->read(static_cast<char *>(buffer), wanted);
    if (got < 0)
        got = 0;
    if (got < wanted) {
        std::memset(static_cast<char *>(buffer) + got, 0, size_t(wanted - got));
        h->readPastEnd = true;
    }
    return unsigned(got / size);
}

unsigned DLL_CALLCONV deviceWrite(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    auto *h = static_cast<DeviceHandle *>(handle);
    if (size == 0)
        return 0;
    const qint64 put = h->device->write(static_cast<const char *>(buffer), qint64(size) * count);
    return put <= 0 ? 0 : unsigned(put / size);
}

int DLL_CALLCONV deviceSeek(fi_handle handle, long offset, int origin)
{
    QIODevice *device = static_cast<DeviceHandle *>(handle)->device;
    qint64 target = offset;
    if (origin == SEEK_CUR)
        target += device->pos();
    else if (origin == SEEK_END)
        target += device->size();
    return target >= 0 && device->seek(target) ? 0 : -1;
}

long DLL_CALLCONV deviceTell(fi_handle handle)
{
    return long(static_cast<DeviceHandle *>(handle)->device->pos());
}

FreeImageIO deviceIO()
{
    FreeImageIO io;
    io.read_proc = &deviceRead;
    io.write_proc = &deviceWrite;
    io.seek_proc = &deviceSeek;
    io.tell_proc = &deviceTell;
    return io;
}

// Decoders that read exactly what the file says is there, so that reading
// past the end means the file was cut short. JPEG and run-length TARGA read
// in blocks and legitimately hit the end; JPEG reports truncation itself.
bool readsExactly(FREE_IMAGE_FORMAT fif, QIODevice *device)
{
    switch (fif) {
    case FIF_TARGA: {
        // Byte 2 is the image type: 1, 2 and 3 are stored without compression.
        char type = 0;
        return device->seek(2) && device->getChar(&type) && type >= 1 && type <= 3;
    }
    case FIF_BMP:
    case FIF_GIF:
    case FIF_PNG:
    case FIF_PSD:
    case FIF_TIFF:
    case FIF_PBM:
    case FIF_PBMRAW:
    case FIF_PGM:
    case FIF_PGMRAW:
    case FIF_PPM:
    case FIF_PPMRAW:
        return true;
    default:
        return false;
    }
}

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

// A 32-bit FreeImage bitmap (bottom-up, BGRA in memory) as a top-down QImage.
QImage bitmap32ToQImage(FIBITMAP *dib32, bool keepAlpha)
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

} // namespace

fipWinImage::fipWinImage(FREE_IMAGE_TYPE image_type, unsigned width, unsigned height, unsigned bpp)
    : fipImage(image_type, width, height, bpp)
{ }

fipWinImage::fipWinImage(const fipWinImage &src) : fipImage(src), CObject()
{
    if (src._dib && !_dib)
        throw CMemoryException();
    _fif = src._fif;
    copyDisplaySettings(src);
}

fipWinImage &fipWinImage::operator=(const fipWinImage &src)
{
    if (this != &src) {
        if (src._dib) {
            FIBITMAP *clone = FreeImage_Clone(src._dib);
            if (!clone)
                throw CMemoryException();
            replaceBitmap(clone);
        } else {
            clear(); // fipImage's assignment would keep our bitmap here
        }
        _fif = src._fif;
        copyDisplaySettings(src);
        setModified(TRUE);
    }
    return *this;
}

fipWinImage &fipWinImage::operator=(FIBITMAP *dib)
{
    if (dib != _dib)
        replaceBitmap(dib);
    return *this;
}

fipWinImage::~fipWinImage() = default;

void fipWinImage::copyDisplaySettings(const fipWinImage &src)
{
    m_DisplayRangeLow = src.m_DisplayRangeLow;
    m_DisplayRangeHigh = src.m_DisplayRangeHigh;
    m_ToneMappingOperator = src.m_ToneMappingOperator;
    m_ToneMappingParam1 = src.m_ToneMappingParam1;
    m_ToneMappingParam2 = src.m_ToneMappingParam2;
    m_ToneMappingParam3 = src.m_ToneMappingParam3;
    m_ToneMappingParam4 = src.m_ToneMappingParam4;
    m_Brightness = src.m_Brightness;
    m_Contrast = src.m_Contrast;
    m_Gamma = src.m_Gamma;
    m_PaletteType = src.m_PaletteType;
    m_DisplayImage = QImage();
    invalidateDisplay();
}

void fipWinImage::replaceBitmap(FIBITMAP *dib)
{
    if (_dib && _dib != dib)
        FreeImage_Unload(_dib);
    _dib = dib;
    setModified(TRUE);
}

void fipWinImage::clear()
{
    fipImage::clear();
    m_DisplayImage = QImage();
    setModified(TRUE);
}

BOOL fipWinImage::isValid() const
{
    return fipImage::isValid();
}

void fipWinImage::Serialize(CArchive &) { }

void fipWinImage::storeDisplaySettings(CArchive &ar) const
{
    ar << m_Brightness << m_Contrast << m_Gamma;
    ar << int32_t(m_DisplayRangeLow) << int32_t(m_DisplayRangeHigh);
    ar << int32_t(m_PaletteType);
}

void fipWinImage::loadDisplaySettings(CArchive &ar)
{
    double brightness = 0;
    double contrast = 0;
    double gamma = 1;
    int32_t low = 0;
    int32_t high = 255;
    int32_t palette = 0;
    ar >> brightness >> contrast >> gamma >> low >> high >> palette;
    m_Brightness = brightness;
    m_Contrast = contrast;
    m_Gamma = gamma;
    m_DisplayRangeLow = low;
    m_DisplayRangeHigh = high;
    if (palette >= PaletteNormal && palette <= PaletteAutoContrast)
        m_PaletteType = enPalette(palette);
    invalidateDisplay();
}

// --- exchange with the desktop -------------------------------------------

QByteArray fipWinImage::copyToHandle() const
{
    if (!_dib || getImageType() != FIT_BITMAP)
        return {};
    FIMEMORY *memory = FreeImage_OpenMemory();
    QByteArray packed;
    if (FreeImage_SaveToMemory(FIF_BMP, _dib, memory, 0)) {
        BYTE *data = nullptr;
        DWORD size = 0;
        // The BMP file header (14 bytes) is all that differs from a packed DIB.
        if (FreeImage_AcquireMemory(memory, &data, &size) && size > 14)
            packed = QByteArray(reinterpret_cast<const char *>(data) + 14, int(size - 14));
    }
    FreeImage_CloseMemory(memory);
    return packed;
}

BOOL fipWinImage::copyFromHandle(const QByteArray &packedDib)
{
    // Put a BMP file header in front and let the BMP decoder check the rest.
    if (packedDib.size() < 40)
        return FALSE;
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
        return FALSE;
    uint64_t offBits = 14ull + headerSize;
    if (headerSize == 40 && compression == 3) // BI_BITFIELDS masks follow the header
        offBits += 12;
    if (colorsUsed)
        offBits += 4ull * colorsUsed;
    else if (bitCount <= 8)
        offBits += 4ull << bitCount;
    if (offBits > 14ull + uint64_t(packedDib.size()))
        return FALSE;

    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t fileSize = uint32_t(14 + packedDib.size());
    const auto offset = uint32_t(offBits);
    std::memcpy(file.data() + 2, &fileSize, 4);
    std::memcpy(file.data() + 10, &offset, 4);
    file.append(packedDib);

    FIMEMORY *memory
        = FreeImage_OpenMemory(reinterpret_cast<BYTE *>(file.data()), DWORD(file.size()));
    FIBITMAP *dib = loadChecked(FIF_BMP, memory, 0);
    FreeImage_CloseMemory(memory);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    return TRUE;
}

BOOL fipWinImage::copyFromBitmap(const QImage &bitmap)
{
    if (bitmap.isNull())
        return FALSE;
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
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    return TRUE;
}

QImage fipWinImage::toQImage() const
{
    if (!_dib)
        return {};
    const int width = int(getWidth());
    const int height = int(getHeight());
    const FREE_IMAGE_TYPE type = getImageType();
    if (type == FIT_UINT16) {
        QImage image(width, height, QImage::Format_Grayscale16);
        for (int y = 0; !image.isNull() && y < height; ++y)
            std::memcpy(image.scanLine(y), FreeImage_GetScanLine(_dib, height - 1 - y),
                        size_t(width) * 2);
        return image;
    }
    if (type == FIT_BITMAP && getBitsPerPixel() == 8 && getColorType() == FIC_MINISBLACK) {
        QImage image(width, height, QImage::Format_Grayscale8);
        for (int y = 0; !image.isNull() && y < height; ++y)
            std::memcpy(image.scanLine(y), FreeImage_GetScanLine(_dib, height - 1 - y),
                        size_t(width));
        return image;
    }
    FIBITMAP *standard = type == FIT_BITMAP ? _dib : FreeImage_ConvertToStandardType(_dib, TRUE);
    if (!standard)
        return {};
    FIBITMAP *dib32 = FreeImage_ConvertTo32Bits(standard);
    if (standard != _dib)
        FreeImage_Unload(standard);
    if (!dib32)
        return {};
    const bool alpha = type == FIT_BITMAP && FreeImage_IsTransparent(_dib);
    QImage image = bitmap32ToQImage(dib32, alpha);
    FreeImage_Unload(dib32);
    return image;
}

static bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

BOOL fipWinImage::copyToClipboard() const
{
    if (!_dib || !haveGuiApplication())
        return FALSE;
    const QImage image = toQImage();
    if (image.isNull())
        return FALSE;
    QGuiApplication::clipboard()->setImage(image);
    return TRUE;
}

BOOL fipWinImage::pasteFromClipboard()
{
    if (!haveGuiApplication())
        return FALSE;
    return copyFromBitmap(QGuiApplication::clipboard()->image());
}

BOOL fipWinImage::captureWindow(WId window)
{
    if (!haveGuiApplication())
        return FALSE;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return FALSE;
    const QPixmap grabbed = screen->grabWindow(window);
    if (grabbed.isNull())
        return FALSE;
    return copyFromBitmap(grabbed.toImage());
}

// --- drawing ----------------------------------------------------------

void fipWinImage::setToneMappingOperator(FREE_IMAGE_TMO tmo, double first_param,
                                         double second_param, double third_param,
                                         double fourth_param)
{
    m_ToneMappingOperator = tmo;
    m_ToneMappingParam1 = first_param;
    m_ToneMappingParam2 = second_param;
    m_ToneMappingParam3 = third_param;
    m_ToneMappingParam4 = fourth_param;
    invalidateDisplay();
}

void fipWinImage::getToneMappingOperator(FREE_IMAGE_TMO *tmo, double *first_param,
                                         double *second_param, double *third_param,
                                         double *fourth_param) const
{
    if (tmo)
        *tmo = m_ToneMappingOperator;
    if (first_param)
        *first_param = m_ToneMappingParam1;
    if (second_param)
        *second_param = m_ToneMappingParam2;
    if (third_param)
        *third_param = m_ToneMappingParam3;
    if (fourth_param)
        *fourth_param = m_ToneMappingParam4;
}

void fipWinImage::drawEx(QPainter *painter, const CRect &rcDest, BOOL useFileBkg,
                         RGBQUAD *appBkColor, FIBITMAP *bg) const
{
    const QImage &display = getDisplayImage(useFileBkg, appBkColor, bg);
    if (!painter || display.isNull())
        return;
    painter->save();
    // Nearest neighbour, as the colour-on-colour stretch of the original display.
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(rcDest.toQRect(), display);
    painter->restore();
}

const QImage &fipWinImage::getDisplayImage(BOOL useFileBkg, RGBQUAD *appBkColor, FIBITMAP *bg) const
{
    const bool sameBackground = m_DisplayUsedFileBkg == useFileBkg
        && m_DisplayHadAppBk == (appBkColor != nullptr) && m_DisplayBg == bg
        && (!appBkColor || std::memcmp(appBkColor, &m_DisplayAppBk, sizeof(RGBQUAD)) == 0);
    if (!_bHasChanged && !m_DisplayDirty && sameBackground)
        return m_DisplayImage;

    m_DisplayImage = QImage();
    if (_dib) {
        bool owned = false;
        FIBITMAP *display = buildDisplayBitmap(useFileBkg, appBkColor, bg, &owned);
        if (display) {
            FIBITMAP *dib32
                = FreeImage_GetImageType(display) == FIT_BITMAP && FreeImage_GetBPP(display) == 32
                ? display
                : FreeImage_ConvertTo32Bits(display);
            if (dib32) {
                m_DisplayImage = bitmap32ToQImage(dib32, false);
                if (dib32 != display)
                    FreeImage_Unload(dib32);
            }
            if (owned)
                FreeImage_Unload(display);
        }
    }
    m_DisplayUsedFileBkg = useFileBkg;
    m_DisplayHadAppBk = appBkColor != nullptr;
    if (appBkColor)
        m_DisplayAppBk = *appBkColor;
    m_DisplayBg = bg;
    m_DisplayDirty = false;
    _bHasChanged = FALSE;
    return m_DisplayImage;
}

FIBITMAP *fipWinImage::buildDisplayBitmap(BOOL useFileBkg, RGBQUAD *appBkColor, FIBITMAP *bg,
                                          bool *owned) const
{
    FIBITMAP *display = nullptr;
    *owned = false;
    const FREE_IMAGE_TYPE type = getImageType();
    if (type == FIT_BITMAP) {
        const BOOL hasBackground = FreeImage_HasBackgroundColor(_dib);
        const BOOL transparent = FreeImage_IsTransparent(_dib);
        if (!transparent && (!hasBackground || !useFileBkg)) {
            display = _dib;
        } else {
            display = FreeImage_Composite(_dib, useFileBkg, appBkColor, bg);
            if (display)
                *owned = true;
            else
                display = _dib;
        }
    } else {
        if (type == FIT_COMPLEX) {
            FIBITMAP *magnitude = FreeImage_GetComplexChannel(_dib, FICC_MAG);
            if (magnitude) {
                display = FreeImage_ConvertToStandardType(magnitude, TRUE);
                FreeImage_Unload(magnitude);
            }
        } else if (type == FIT_RGBF || type == FIT_RGBAF || type == FIT_FLOAT) {
            if (m_ToneMappingOperator == FITMO_REINHARD05)
                display = FreeImage_TmoReinhard05Ex(_dib, m_ToneMappingParam1, m_ToneMappingParam2,
                                                    m_ToneMappingParam3, m_ToneMappingParam4);
            else
                display = FreeImage_ToneMapping(_dib, m_ToneMappingOperator, m_ToneMappingParam1,
                                                m_ToneMappingParam2);
        } else if (type == FIT_RGBA16) {
            if (FIBITMAP *dib32 = FreeImage_ConvertTo32Bits(_dib)) {
                display = FreeImage_Composite(dib32, useFileBkg, appBkColor, bg);
                FreeImage_Unload(dib32);
            }
        } else {
            display = FreeImage_ConvertToStandardType(_dib, TRUE);
        }
        if (!display)
            return nullptr;
        *owned = true;
    }

    const double brightness = finiteOr(m_Brightness, 0);
    const double contrast = finiteOr(m_Contrast, 0);
    const double gamma = m_Gamma > 0 && std::isfinite(m_Gamma) ? m_Gamma : 1.0;
    const bool adjust = brightness != 0 || contrast != 0 || gamma != 1.0;
    const bool palette = paletteStepApplies() && FreeImage_GetBPP(display) == 8
        && FreeImage_GetPalette(display) != nullptr;
    if (!palette && !adjust)
        return display;

    // Never alter the picture itself for display.
    if (!*owned) {
        display = FreeImage_Clone(display);
        if (!display)
            return nullptr;
        *owned = true;
    }
    if (palette)
        applyPaletteStep(display);
    if (adjust) {
        const unsigned bpp = FreeImage_GetBPP(display);
        if (bpp != 8 && bpp != 24 && bpp != 32) {
            FIBITMAP *dib24 = FreeImage_ConvertTo24Bits(display);
            FreeImage_Unload(display);
            display = dib24;
            if (!display)
                return nullptr;
        }
        FreeImage_AdjustColors(display, brightness, contrast, gamma, FALSE);
    }
    return display;
}

bool fipWinImage::paletteStepApplies() const
{
    const FREE_IMAGE_TYPE type = getImageType();
    if (type == FIT_UINT16 || type == FIT_INT16)
        return true;
    const unsigned bpp = getBitsPerPixel();
    if ((bpp == 8 || bpp == 16) && getColorsUsed() == 0)
        return true;
    // An 8-bit picture always has a palette, so grey ones are named here:
    // palettes are what grey pictures are shown with.
    return type == FIT_BITMAP && bpp == 8 && getColorType() == FIC_MINISBLACK;
}

void fipWinImage::applyPaletteStep(FIBITMAP *display) const
{
    RGBQUAD *pal = FreeImage_GetPalette(display);
    const int entries = std::min<int>(256, int(FreeImage_GetColorsUsed(display)));

    // The display range is on the 8-bit scale of the pixel values. A 16-bit
    // picture is shown stretched from its smallest to its largest sample, so
    // entry i stands for the value min + i (max - min) / 255, not for i.
    double first = 0;
    double step = 1;
    if (m_PaletteType == PaletteAutoContrast && getImageType() == FIT_UINT16) {
        unsigned minimum = 65535;
        unsigned maximum = 0;
        const unsigned width = getWidth();
        for (unsigned y = 0; y < getHeight(); ++y) {
            const auto *line = reinterpret_cast<const uint16_t *>(FreeImage_GetScanLine(_dib, y));
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

    const double low = m_DisplayRangeLow;
    const double high = m_DisplayRangeHigh;
    for (int i = 0; i < entries; ++i) {
        const auto level = BYTE(i);
        RGBQUAD &e = pal[i];
        e.rgbReserved = 0;
        switch (m_PaletteType) {
        case PaletteNormal:
            e.rgbBlue = e.rgbGreen = e.rgbRed = level;
            break;
        case PaletteSaturation:
            e.rgbBlue = e.rgbGreen = e.rgbRed = level;
            if (i == 255) {
                e.rgbBlue = 0;
                e.rgbGreen = 0;
                e.rgbRed = 255;
            }
            break;
        case PaletteShadesOfGreen:
            e.rgbBlue = 0;
            e.rgbGreen = level;
            e.rgbRed = 0;
            break;
        case PaletteShadesOfRed:
            e.rgbBlue = 0;
            e.rgbGreen = 0;
            e.rgbRed = level;
            break;
        case PaletteShadesOfBlue:
            e.rgbBlue = level;
            e.rgbGreen = 0;
            e.rgbRed = 0;
            break;
        case PaletteAutoContrast: {
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

// --- display settings ---------------------------------------------------

void fipWinImage::setImageAdjustmentValues(double brightness, double contrast, double gamma)
{
    m_Brightness = brightness;
    m_Contrast = contrast;
    m_Gamma = gamma;
    invalidateDisplay();
}

void fipWinImage::setPaletteType(enPalette palette)
{
    m_PaletteType = palette;
    invalidateDisplay();
}

void fipWinImage::setDisplayRange(int low, int high)
{
    m_DisplayRangeLow = low;
    m_DisplayRangeHigh = high;
    invalidateDisplay();
}

// --- pixel changes ------------------------------------------------------

BOOL fipWinImage::invertPixels()
{
    if (!_dib)
        return FALSE;
    const unsigned width = getWidth();
    const unsigned height = getHeight();
    const unsigned bpp = getBitsPerPixel();
    switch (getImageType()) {
    case FIT_BITMAP:
        if (bpp == 1 || bpp == 4 || bpp == 8) {
            const unsigned lineBytes = FreeImage_GetLine(_dib);
            for (unsigned y = 0; y < height; ++y) {
                BYTE *line = FreeImage_GetScanLine(_dib, y);
                for (unsigned i = 0; i < lineBytes; ++i)
                    line[i] = BYTE(~line[i]);
            }
        } else if (bpp == 24 || bpp == 32) {
            // The colour bytes only: complementing the alpha byte of a 32-bit
            // picture would make an opaque picture fully transparent.
            const unsigned bytesPerPixel = bpp / 8;
            for (unsigned y = 0; y < height; ++y) {
                BYTE *line = FreeImage_GetScanLine(_dib, y);
                for (unsigned x = 0; x < width; ++x) {
                    BYTE *p = line + size_t(x) * bytesPerPixel;
                    p[FI_RGBA_RED] = BYTE(~p[FI_RGBA_RED]);
                    p[FI_RGBA_GREEN] = BYTE(~p[FI_RGBA_GREEN]);
                    p[FI_RGBA_BLUE] = BYTE(~p[FI_RGBA_BLUE]);
                }
            }
        } else {
            return FALSE;
        }
        break;
    case FIT_UINT16:
    case FIT_RGB16: {
        // Complementing the 16-bit words of a float picture (which the
        // original inversion also did) only produces meaningless numbers, so
        // float pictures are refused with the other types.
        const unsigned words = getImageType() == FIT_UINT16 ? width : 3 * width;
        for (unsigned y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<uint16_t *>(FreeImage_GetScanLine(_dib, y));
            for (unsigned i = 0; i < words; ++i)
                line[i] = uint16_t(~line[i]);
        }
        break;
    }
    default:
        return FALSE;
    }
    setModified(TRUE);
    return TRUE;
}

BOOL fipWinImage::crop(const CRect &rect)
{
    if (!_dib)
        return FALSE;
    FIBITMAP *dib = FreeImage_Copy(_dib, rect.left, rect.top, rect.right, rect.bottom);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    return TRUE;
}

BOOL fipWinImage::rotate(int angle, unsigned long /*background*/)
{
    // The quarter-turn pages pass 1 and the free rotation 0 here; neither is
    // a colour, so no background is given to the library (it fills black).
    if (!_dib)
        return FALSE;
    FIBITMAP *dib = FreeImage_Rotate(_dib, double(angle), nullptr);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    return TRUE;
}

BOOL fipWinImage::rescale(unsigned new_width, unsigned new_height)
{
    return rescale(new_width, new_height, FILTER_BILINEAR);
}

BOOL fipWinImage::rescale(unsigned new_width, unsigned new_height, FREE_IMAGE_FILTER filter)
{
    return changed(fipImage::rescale(new_width, new_height, filter));
}

BOOL fipWinImage::flipVertical()
{
    return changed(fipImage::flipVertical());
}

BOOL fipWinImage::flipHorizontal()
{
    return changed(fipImage::flipHorizontal());
}

BOOL fipWinImage::canSave(const QString &fileName) const
{
    if (!_dib)
        return FALSE;
    const FREE_IMAGE_FORMAT fif
        = FreeImage_GetFIFFromFilename(QFile::encodeName(fileName).constData());
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsWriting(fif))
        return FALSE;
    const FREE_IMAGE_TYPE type = getImageType();
    if (!FreeImage_FIFSupportsExportType(fif, type))
        return FALSE;
    return type != FIT_BITMAP || FreeImage_FIFSupportsExportBPP(fif, int(getBitsPerPixel()));
}

BOOL fipWinImage::save(const QString &fileName)
{
    if (!canSave(fileName))
        return FALSE;
    const FREE_IMAGE_FORMAT fif
        = FreeImage_GetFIFFromFilename(QFile::encodeName(fileName).constData());
    // Written beside the target and renamed over it only when complete, so a
    // failed save leaves the previous file as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return FALSE;
    FreeImageIO io = deviceIO();
    DeviceHandle handle {&file};
    if (!FreeImage_SaveToHandle(fif, _dib, &io, static_cast<fi_handle>(&handle), 0)) {
        file.cancelWriting();
        return FALSE;
    }
    if (!file.commit())
        return FALSE;
    _fif = fif;
    return TRUE;
}

QByteArray fipWinImage::encode(FREE_IMAGE_FORMAT fif, int flags) const
{
    QByteArray bytes;
    if (!_dib)
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly); // QBuffer fills a seek past the end with zeros
    FreeImageIO io = deviceIO();
    DeviceHandle handle {&buffer};
    if (!FreeImage_SaveToHandle(fif, _dib, &io, static_cast<fi_handle>(&handle), flags))
        bytes.clear();
    return bytes;
}

void fipWinImage::setModified(BOOL bStatus)
{
    _bHasChanged = bStatus;
    if (bStatus) {
        invalidateDisplay();
        onPixelsChanged();
    }
}

BOOL fipWinImage::setSize(FREE_IMAGE_TYPE image_type, unsigned width, unsigned height, unsigned bpp,
                          unsigned red_mask, unsigned green_mask, unsigned blue_mask)
{
    return changed(
        fipImage::setSize(image_type, width, height, bpp, red_mask, green_mask, blue_mask));
}

BOOL fipWinImage::load(const char *lpszPathName, int flag)
{
    const FREE_IMAGE_FORMAT fif = detectFileType(QFile::decodeName(lpszPathName));
    if (fif == FIF_UNKNOWN)
        return FALSE;
    return load(fif, lpszPathName, flag);
}

BOOL fipWinImage::load(FREE_IMAGE_FORMAT fif, const char *lpszPathName, int flag)
{
    FIBITMAP *dib = loadChecked(fif, QFile::decodeName(lpszPathName), flag);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    _fif = fif;
    return TRUE;
}

BOOL fipWinImage::loadU(const wchar_t *lpszPathName, int flag)
{
    return load(QFile::encodeName(QString::fromWCharArray(lpszPathName)).constData(), flag);
}

BOOL fipWinImage::loadU(FREE_IMAGE_FORMAT fif, const wchar_t *lpszPathName, int flag)
{
    return load(fif, QFile::encodeName(QString::fromWCharArray(lpszPathName)).constData(), flag);
}

BOOL fipWinImage::loadFromHandle(FreeImageIO *io, fi_handle handle, int flag)
{
    return changed(fipImage::loadFromHandle(io, handle, flag));
}

BOOL fipWinImage::loadFromMemory(fipMemoryIO &memIO, int flag)
{
    const FREE_IMAGE_FORMAT fif = detectMemoryType(memIO);
    if (fif == FIF_UNKNOWN)
        return FALSE;
    return loadFromMemory(fif, memIO, flag);
}

BOOL fipWinImage::loadFromMemory(FREE_IMAGE_FORMAT fif, fipMemoryIO &memIO, int flag)
{
    FIBITMAP *dib = loadChecked(fif, memIO, flag);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    _fif = fif;
    return TRUE;
}

BOOL fipWinImage::pasteSubImage(fipImage &src, int left, int top, int alpha)
{
    return changed(fipImage::pasteSubImage(src, left, top, alpha));
}

BOOL fipWinImage::setPixelIndex(unsigned x, unsigned y, BYTE *value)
{
    return changed(fipImage::setPixelIndex(x, y, value));
}

BOOL fipWinImage::setPixelColor(unsigned x, unsigned y, RGBQUAD *value)
{
    return changed(fipImage::setPixelColor(x, y, value));
}

BOOL fipWinImage::convertToType(FREE_IMAGE_TYPE image_type, BOOL scale_linear)
{
    return changed(fipImage::convertToType(image_type, scale_linear));
}

BOOL fipWinImage::threshold(BYTE T)
{
    return changed(fipImage::threshold(T));
}

BOOL fipWinImage::dither(FREE_IMAGE_DITHER algorithm)
{
    return changed(fipImage::dither(algorithm));
}

BOOL fipWinImage::convertTo4Bits()
{
    return changed(fipImage::convertTo4Bits());
}

BOOL fipWinImage::convertTo8Bits()
{
    return changed(fipImage::convertTo8Bits());
}

BOOL fipWinImage::convertToGrayscale()
{
    return changed(fipImage::convertToGrayscale());
}

BOOL fipWinImage::colorQuantize(FREE_IMAGE_QUANTIZE algorithm)
{
    return changed(fipImage::colorQuantize(algorithm));
}

BOOL fipWinImage::convertTo16Bits555()
{
    return changed(fipImage::convertTo16Bits555());
}

BOOL fipWinImage::convertTo16Bits565()
{
    return changed(fipImage::convertTo16Bits565());
}

BOOL fipWinImage::convertTo24Bits()
{
    return changed(fipImage::convertTo24Bits());
}

BOOL fipWinImage::convertTo32Bits()
{
    return changed(fipImage::convertTo32Bits());
}

BOOL fipWinImage::convertToFloat()
{
    return changed(fipImage::convertToFloat());
}

BOOL fipWinImage::convertToRGBF()
{
    return changed(fipImage::convertToRGBF());
}

BOOL fipWinImage::convertToRGBAF()
{
    return changed(fipImage::convertToRGBAF());
}

BOOL fipWinImage::convertToUINT16()
{
    return changed(fipImage::convertToUINT16());
}

BOOL fipWinImage::convertToRGB16()
{
    return changed(fipImage::convertToRGB16());
}

BOOL fipWinImage::convertToRGBA16()
{
    return changed(fipImage::convertToRGBA16());
}

BOOL fipWinImage::toneMapping(FREE_IMAGE_TMO tmo, double first_param, double second_param,
                              double third_param, double fourth_param)
{
    return changed(
        fipImage::toneMapping(tmo, first_param, second_param, third_param, fourth_param));
}

BOOL fipWinImage::setChannel(fipImage &image, FREE_IMAGE_COLOR_CHANNEL channel)
{
    return changed(fipImage::setChannel(image, channel));
}

BOOL fipWinImage::combineChannels(fipImage &red, fipImage &green, fipImage &blue)
{
    return changed(fipImage::combineChannels(red, green, blue));
}

BOOL fipWinImage::rotateEx(double angle, double x_shift, double y_shift, double x_origin,
                           double y_origin, BOOL use_mask)
{
    return changed(fipImage::rotateEx(angle, x_shift, y_shift, x_origin, y_origin, use_mask));
}

BOOL fipWinImage::invert()
{
    return changed(fipImage::invert());
}

BOOL fipWinImage::adjustCurve(BYTE *LUT, FREE_IMAGE_COLOR_CHANNEL channel)
{
    return changed(fipImage::adjustCurve(LUT, channel));
}

BOOL fipWinImage::adjustGamma(double gamma)
{
    return changed(fipImage::adjustGamma(gamma));
}

BOOL fipWinImage::adjustBrightness(double percentage)
{
    return changed(fipImage::adjustBrightness(percentage));
}

BOOL fipWinImage::adjustContrast(double percentage)
{
    return changed(fipImage::adjustContrast(percentage));
}

BOOL fipWinImage::adjustBrightnessContrastGamma(double brightness, double contrast, double gamma)
{
    return changed(fipImage::adjustBrightnessContrastGamma(brightness, contrast, gamma));
}

BOOL fipWinImage::makeThumbnail(unsigned max_size, BOOL convert)
{
    return changed(fipImage::makeThumbnail(max_size, convert));
}

// --- format detection and decoding -----------------------------------------

FREE_IMAGE_FORMAT fipWinImage::detectFileType(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(name.constData(), 0);
    if (fif == FIF_RAW && FreeImage_GetFIFFromFilename(name.constData()) != FIF_RAW
        && FreeImage_Validate(FIF_TIFF, name.constData()))
        fif = FIF_TIFF;
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(name.constData());
    return fif;
}

FREE_IMAGE_FORMAT fipWinImage::detectMemoryType(FIMEMORY *memory)
{
    if (!memory)
        return FIF_UNKNOWN;
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(memory, 0);
    if (fif == FIF_RAW && FreeImage_ValidateFromMemory(FIF_TIFF, memory))
        fif = FIF_TIFF;
    return fif;
}

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, QIODevice *device, int flag)
{
    if (!device || fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return nullptr;
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return nullptr;
    if (!device->seek(0))
        return nullptr;
    if (fif == FIF_PSD && !ImageFileCheck::psdIsComplete(device))
        return nullptr;
    FreeImageIO io = deviceIO();
    DeviceHandle handle {device};
    FreeImageErrorTrap trap;
    FIBITMAP *dib = FreeImage_LoadFromHandle(fif, &io, static_cast<fi_handle>(&handle), flag);
    if (dib && (trap.hasMessages() || (handle.readPastEnd && readsExactly(fif, device)))) {
        FreeImage_Unload(dib);
        dib = nullptr;
    }
    // FreeImage honours WhiteIsZero for palettised pictures only; 16-bit grey
    // samples come back as stored, which would show the gel as a negative and
    // make dark bands read as light. Bring them to the black-is-zero sense every
    // other picture has (and that a saved TIFF records).
    if (dib && fif == FIF_TIFF && FreeImage_GetImageType(dib) == FIT_UINT16
        && ImageFileCheck::tiffPhotometric(device) == 0) {
        for (unsigned y = 0; y < FreeImage_GetHeight(dib); ++y) {
            auto *line = reinterpret_cast<uint16_t *>(FreeImage_GetScanLine(dib, int(y)));
            for (unsigned x = 0; x < FreeImage_GetWidth(dib); ++x)
                line[x] = uint16_t(65535 - line[x]);
        }
    }
    return dib;
}

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, const QString &path, int flag)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return loadChecked(fif, &file, flag);
}

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, FIMEMORY *memory, int flag)
{
    BYTE *data = nullptr;
    DWORD size = 0;
    if (!memory || !FreeImage_AcquireMemory(memory, &data, &size) || !data)
        return nullptr;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(bytes);
    return loadChecked(fif, &buffer, flag);
}
