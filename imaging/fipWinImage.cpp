#include "imaging/fipWinImage.h"

#include "imaging/BitmapExchange.h"
#include "imaging/FreeImageDeviceIO.h"
#include "imaging/FreeImageErrorTrap.h"
#include "imaging/ImageFileCheck.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/SaveFileCommit.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

IMPLEMENT_SERIAL(fipWinImage, CObject, 1 | VERSIONABLE_SCHEMA)

namespace {

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

// FreeImage's format probes read a fixed number of bytes (from the start,
// and some from the end) and several compare them without checking how many
// they got, so an input shorter than that leaves them looking at
// uninitialised memory. Short inputs are probed from a copy followed by
// zeros; the end a probe seeks to is still the input's own.
constexpr qint64 kProbeBytes = 4096;

class ProbeInput
{
public:
    explicit ProbeInput(QByteArray bytes) : m_size(bytes.size()), m_data(std::move(bytes))
    {
        m_data.append(QByteArray(kProbeBytes, '\0'));
        m_io.read_proc = &ProbeInput::read;
        m_io.write_proc = nullptr;
        m_io.seek_proc = &ProbeInput::seek;
        m_io.tell_proc = &ProbeInput::tell;
    }
    ProbeInput(const ProbeInput &) = delete;
    ProbeInput &operator=(const ProbeInput &) = delete;

    FREE_IMAGE_FORMAT detect()
    {
        m_pos = 0;
        return m_size == 0 ? FIF_UNKNOWN : FreeImage_GetFileTypeFromHandle(&m_io, this, 0);
    }
    bool validates(FREE_IMAGE_FORMAT fif)
    {
        m_pos = 0;
        return FreeImage_ValidateFromHandle(fif, &m_io, this);
    }

private:
    static unsigned DLL_CALLCONV read(void *buffer, unsigned size, unsigned count, fi_handle handle)
    {
        auto *self = static_cast<ProbeInput *>(handle);
        const qint64 available = std::max<qint64>(0, self->m_data.size() - self->m_pos);
        const qint64 bytes = size == 0 ? 0 : std::min<qint64>(qint64(size) * count, available);
        const qint64 items = size == 0 ? 0 : bytes / size;
        if (items == 0)
            return 0;
        std::memcpy(buffer, self->m_data.constData() + self->m_pos, size_t(items * size));
        self->m_pos += items * size;
        return unsigned(items);
    }
    static int DLL_CALLCONV seek(fi_handle handle, long offset, int origin)
    {
        auto *self = static_cast<ProbeInput *>(handle);
        qint64 target = offset;
        if (origin == SEEK_CUR)
            target += self->m_pos;
        else if (origin == SEEK_END)
            target += self->m_size;
        if (target < 0)
            return -1;
        self->m_pos = target;
        return 0;
    }
    static long DLL_CALLCONV tell(fi_handle handle)
    {
        return long(static_cast<ProbeInput *>(handle)->m_pos);
    }

    qint64 m_size;
    QByteArray m_data;
    qint64 m_pos = 0;
    FreeImageIO m_io;
};

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
    m_Display.reset();
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
    m_Display.reset();
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
    return BitmapExchange::toPackedDib(_dib);
}

BOOL fipWinImage::copyFromHandle(const QByteArray &packedDib)
{
    // Put a BMP file header in front and let the BMP decoder check the rest.
    QByteArray file = BitmapExchange::bmpFileOfPackedDib(packedDib);
    if (file.isEmpty())
        return FALSE;
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
    FIBITMAP *dib = BitmapExchange::fromQImage(bitmap);
    if (!dib)
        return FALSE;
    replaceBitmap(dib);
    return TRUE;
}

QImage fipWinImage::toQImage() const
{
    return BitmapExchange::toQImage(_dib);
}

BOOL fipWinImage::copyToClipboard() const
{
    return BitmapExchange::toClipboard(_dib) ? TRUE : FALSE;
}

BOOL fipWinImage::pasteFromClipboard()
{
    return copyFromBitmap(BitmapExchange::clipboardImage());
}

BOOL fipWinImage::captureWindow(WId window)
{
    return copyFromBitmap(BitmapExchange::windowImage(window));
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
    ImageDisplayPipeline::Settings settings;
    settings.brightness = m_Brightness;
    settings.contrast = m_Contrast;
    settings.gamma = m_Gamma;
    settings.paletteType = m_PaletteType;
    settings.displayRangeLow = m_DisplayRangeLow;
    settings.displayRangeHigh = m_DisplayRangeHigh;
    settings.toneMappingOperator = m_ToneMappingOperator;
    settings.toneMappingParam1 = m_ToneMappingParam1;
    settings.toneMappingParam2 = m_ToneMappingParam2;
    settings.toneMappingParam3 = m_ToneMappingParam3;
    settings.toneMappingParam4 = m_ToneMappingParam4;
    const QImage &image = m_Display.image(_dib, _bHasChanged, settings, useFileBkg, appBkColor, bg);
    _bHasChanged = FALSE;
    return image;
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
    FreeImageDeviceIO output(&file);
    if (!FreeImage_SaveToHandle(fif, _dib, output.io(), output.handle(), 0)) {
        file.cancelWriting();
        return FALSE;
    }
    if (!commitSaveFile(file))
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
    FreeImageDeviceIO output(&buffer);
    if (!FreeImage_SaveToHandle(fif, _dib, output.io(), output.handle(), flags))
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

// A decoder never sees a picture the structure checks have not passed, and
// they need the whole input: the handle's bytes (from where it stands) are
// read out and loaded as a picture in memory.
BOOL fipWinImage::loadFromHandle(FreeImageIO *io, fi_handle handle, int flag)
{
    if (!io || !io->read_proc)
        return FALSE;
    QByteArray bytes;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const unsigned got = io->read_proc(chunk.data(), 1, unsigned(chunk.size()), handle);
        if (got == 0 || got > unsigned(chunk.size()))
            break;
        // A memory picture is addressed with 32 bits.
        if (qint64(bytes.size()) + got > qint64(0xFFFFFFFFu))
            return FALSE;
        bytes.append(chunk.constData(), qsizetype(got));
    }
    if (bytes.isEmpty())
        return FALSE;
    fipMemoryIO memory(reinterpret_cast<BYTE *>(bytes.data()), DWORD(bytes.size()));
    return loadFromMemory(memory, flag);
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
    FREE_IMAGE_FORMAT fif = detectFileContents(path);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(QFile::encodeName(path).constData());
    return fif;
}

FREE_IMAGE_FORMAT fipWinImage::detectFileContents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FIF_UNKNOWN;
    const QByteArray name = QFile::encodeName(path);
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    bool tiff = false;
    if (file.size() < kProbeBytes) {
        ProbeInput input(file.readAll());
        fif = input.detect();
        tiff = fif == FIF_RAW && input.validates(FIF_TIFF);
    } else {
        file.close();
        fif = FreeImage_GetFileType(name.constData(), 0);
        tiff = fif == FIF_RAW && FreeImage_Validate(FIF_TIFF, name.constData());
    }
    if (tiff && FreeImage_GetFIFFromFilename(name.constData()) != FIF_RAW)
        fif = FIF_TIFF;
    return fif;
}

FREE_IMAGE_FORMAT fipWinImage::detectMemoryType(FIMEMORY *memory)
{
    BYTE *data = nullptr;
    DWORD size = 0;
    if (!memory || !FreeImage_AcquireMemory(memory, &data, &size))
        return FIF_UNKNOWN;
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    bool tiff = false;
    if (qint64(size) < kProbeBytes) {
        ProbeInput input(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        fif = input.detect();
        tiff = fif == FIF_RAW && input.validates(FIF_TIFF);
    } else {
        fif = FreeImage_GetFileTypeFromMemory(memory, 0);
        tiff = fif == FIF_RAW && FreeImage_ValidateFromMemory(FIF_TIFF, memory);
    }
    return tiff ? FIF_TIFF : fif;
}

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, QIODevice *device, int flag,
                                   QString *refusal)
{
    if (refusal)
        refusal->clear();
    if (!device || fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return nullptr;
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        return nullptr;
    if (!device->seek(0))
        return nullptr;
    // The size first, so that a picture too large to hold is refused as such
    // and nothing is allocated for it.
    if (!(flag & FIF_LOAD_NOPIXELS)) {
        const std::optional<ImageFileCheck::PictureSize> size
            = ImageFileCheck::declaredSize(fif, device);
        if (!size) {
            if (ImageFileCheck::readsDeclaredSize(fif))
                return nullptr;
        } else if (const QString text = ImageFileCheck::sizeRefusal(*size); !text.isEmpty()) {
            if (refusal)
                *refusal = text;
            return nullptr;
        }
    }
    if (fif == FIF_PSD && !ImageFileCheck::psdIsComplete(device))
        return nullptr;
    if (fif == FIF_TIFF && !ImageFileCheck::tiffIsSound(device))
        return nullptr;
    if (fif == FIF_BMP && !ImageFileCheck::bmpIsComplete(device))
        return nullptr;
    if (fif == FIF_GIF && !ImageFileCheck::gifIsComplete(device))
        return nullptr;
    if (fif == FIF_TARGA && !ImageFileCheck::targaIsComplete(device))
        return nullptr;
    FreeImageDeviceIO input(device);
    FreeImageErrorTrap trap;
    FIBITMAP *dib = FreeImage_LoadFromHandle(fif, input.io(), input.handle(), flag);
    if (dib && (trap.hasMessages() || (input.readPastEnd() && readsExactly(fif, device)))) {
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

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, const QString &path, int flag,
                                   QString *refusal)
{
    if (refusal)
        refusal->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return loadChecked(fif, &file, flag, refusal);
}

FIBITMAP *fipWinImage::loadChecked(FREE_IMAGE_FORMAT fif, FIMEMORY *memory, int flag,
                                   QString *refusal)
{
    if (refusal)
        refusal->clear();
    BYTE *data = nullptr;
    DWORD size = 0;
    if (!memory || !FreeImage_AcquireMemory(memory, &data, &size) || !data)
        return nullptr;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer;
    buffer.setData(bytes);
    return loadChecked(fif, &buffer, flag, refusal);
}
