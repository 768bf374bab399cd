#include "imaging/TVFImage.h"

#include "data/CIntDataArray.h"
#include "imaging/RasterImage.h"
#include "imaging/RasterImageGS16.h"
#include "imaging/RasterImageRGB.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"
#include "platform/Prompts.h"

#include <QFile>
#include <QFileInfo>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

IMPLEMENT_SERIAL(TVFImage, fipWinImage, 1 | VERSIONABLE_SCHEMA)

namespace {

enum class RasterKind { None, Grey, Colour };

RasterKind rasterKindOf(FIBITMAP *dib)
{
    if (!dib)
        return RasterKind::None;
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (type == FIT_UINT16 || (type == FIT_BITMAP && FreeImage_GetBPP(dib) == 8))
        return RasterKind::Grey;
    if (type == FIT_BITMAP) {
        const FREE_IMAGE_COLOR_TYPE colour = FreeImage_GetColorType(dib);
        if (colour == FIC_RGB || colour == FIC_RGBALPHA)
            return RasterKind::Colour;
    }
    return RasterKind::None;
}

// Windows' MulDiv: a * b / c rounded half away from zero, -1 when c is 0 or
// the result does not fit 32 bits.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const unsigned long long magnitude
        = static_cast<unsigned long long>(product < 0 ? -product : product);
    const unsigned long long divisor
        = static_cast<unsigned long long>(c < 0 ? -static_cast<long long>(c) : c);
    const unsigned long long q = (magnitude + divisor / 2) / divisor;
    if (q > 0x7FFFFFFFull)
        return -1;
    return negative ? -int(q) : int(q);
}

// OpenCV matrix type of a picture kind; -1 when there is none.
int matrixTypeOf(FREE_IMAGE_TYPE type, unsigned bpp)
{
    switch (type) {
    case FIT_BITMAP:
        if (bpp == 8)
            return CV_8UC1;
        if (bpp == 24)
            return CV_8UC3;
        return -1;
    case FIT_UINT16:
        return CV_16UC1;
    case FIT_INT16:
        return CV_16SC1;
    case FIT_INT32:
        return CV_32SC1;
    case FIT_FLOAT:
        return CV_32FC1;
    case FIT_DOUBLE:
        return CV_64FC1;
    default:
        return -1;
    }
}

// 16-bit lookup table value: floor(clamp(x, 0, 65535) + 0.5).
unsigned short lutValue(double x)
{
    return static_cast<unsigned short>(std::floor(std::clamp(x, 0.0, 65535.0) + 0.5));
}

struct BitmapDeleter
{
    void operator()(FIBITMAP *dib) const
    {
        if (dib)
            FreeImage_Unload(dib);
    }
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// A picture too large to hold is a failure the user can do nothing about but
// must understand: it is told in its own words, and CUserException (the user
// has been told) ends the reading.
void refuseTooLarge(const QString &refusal)
{
    if (refusal.isEmpty())
        return;
    Prompts::instance().MessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
    throw CUserException();
}

} // namespace

TVFImage::TVFImage() = default;

TVFImage::TVFImage(FREE_IMAGE_TYPE image_type, unsigned width, unsigned height, unsigned bpp)
    : fipWinImage(image_type, width, height, bpp)
{ }

TVFImage::TVFImage(int width, int height, int bpp, const RGBQUAD *palette)
{
    if (width <= 0 || height <= 0)
        return;
    FIBITMAP *dib = FreeImage_Allocate(width, height, bpp);
    if (!dib)
        return;
    if (palette && bpp <= 8) {
        if (RGBQUAD *target = FreeImage_GetPalette(dib))
            std::memcpy(target, palette, sizeof(RGBQUAD) * (size_t(1) << bpp));
    }
    _dib = dib;
    _bHasChanged = TRUE;
}

TVFImage::TVFImage(const TVFImage &src)
    : fipWinImage(src), m_History(src.m_History), m_PaletteState(src.m_PaletteState),
      m_bRecordHistory(src.m_bRecordHistory)
{ }

TVFImage &TVFImage::operator=(const TVFImage &src)
{
    if (this != &src) {
        fipWinImage::operator=(src);
        m_History = src.m_History;
        m_PaletteState = src.m_PaletteState;
        m_bRecordHistory = src.m_bRecordHistory;
    }
    return *this;
}

TVFImage::~TVFImage() = default;

void TVFImage::onPixelsChanged()
{
    m_pRasterImage.reset();
}

// --- input ----------------------------------------------------------------

int TVFImage::CreateFromFileName(const QString &path)
{
    const FREE_IMAGE_FORMAT fif = detectFileType(path);
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return 0;
    QString refusal;
    BitmapPtr dib(loadChecked(fif, path, 0, &refusal));
    refuseTooLarge(refusal);
    // Only pictures the measurements can read are taken; anything else
    // leaves the current picture as it was.
    if (!dib || rasterKindOf(dib.get()) == RasterKind::None)
        return 0;
    replaceBitmap(dib.release());
    _fif = fif;
    // A picture of a kind checked above always gives a raster, made when it
    // is first asked for: holding one from the start would add four bytes a
    // pixel that a batch analysis (it cuts its own) never reads.
    return 1;
}

int TVFImage::CreateFromFile(QFile *file)
{
    if (!file || file->fileName().isEmpty())
        return 0;
    return CreateFromFileName(file->fileName());
}

int TVFImage::Load(const unsigned char *data, unsigned long size)
{
    if (!data || size == 0 || size > 0xFFFFFFFFul)
        return 0;
    fipMemoryIO memory(const_cast<BYTE *>(data), DWORD(size));
    const FREE_IMAGE_FORMAT fif = detectMemoryType(memory);
    FIBITMAP *dib = loadChecked(fif, memory, 0);
    if (!dib)
        return 0;
    replaceBitmap(dib);
    _fif = fif;
    return 1;
}

int TVFImage::GetFileType(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return FIF_UNKNOWN;
    const QString ext = fileName.mid(dot + 1).toUpper();
    if (ext == QLatin1String("TIF") || ext == QLatin1String("TIFF"))
        return FIF_TIFF;
    if (ext == QLatin1String("BMP"))
        return FIF_BMP;
    if (ext == QLatin1String("JPG"))
        return FIF_JPEG;
    if (ext == QLatin1String("PCX"))
        return FIF_PCX;
    if (ext == QLatin1String("TGA"))
        return FIF_TARGA;
    if (ext == QLatin1String("RAS"))
        return FIF_RAS;
    if (ext == QLatin1String("PSD"))
        return FIF_PSD;
    if (ext == QLatin1String("PNG"))
        return FIF_PNG;
    if (ext == QLatin1String("GIF"))
        return FIF_GIF;
    return FIF_UNKNOWN;
}

int TVFImage::GetFileType(QFile *file)
{
    if (!file || file->fileName().isEmpty())
        return FIF_UNKNOWN;
    return detectFileContents(file->fileName());
}

void TVFImage::draw(QPainter *painter, const CRect *rect) const
{
    if (rect)
        drawEx(painter, *rect);
}

// --- read-out -------------------------------------------------------------

RasterImage *TVFImage::getRasterImage()
{
    if (m_pRasterImage)
        return m_pRasterImage.get();
    const RasterKind kind = rasterKindOf(_dib);
    if (kind == RasterKind::None)
        return nullptr;
    WaitCursor wait;
    if (kind == RasterKind::Grey)
        m_pRasterImage = std::make_unique<RasterImageGS16>(this);
    else
        m_pRasterImage = std::make_unique<RasterImageRGB>(this);
    return m_pRasterImage.get();
}

int TVFImage::GetFormatedPixelString(const CPoint *point, QString *text)
{
    if (!text)
        return 0;
    text->clear();
    RasterImage *raster = getRasterImage();
    if (!point || !raster || point->x < 0 || point->y < 0 || point->x >= raster->getWidth()
        || point->y >= raster->getHeight())
        return 0;
    const int x = point->x;
    const int y = point->y;
    if (raster->IsKindOf(RUNTIME_CLASS(RasterImageGS16))) {
        const auto *grey = static_cast<RasterImageGS16 *>(raster);
        *text = QString::asprintf("(%.3d,%.3d)=[%.3d]", x, y, grey->getPixel(x, y));
    } else {
        const auto *colour = static_cast<RasterImageRGB *>(raster);
        const RGBQUAD *quad = colour->getPixel(x, y);
        *text = QString::asprintf("(%.3d,%.3d)=[%.3d,%.3d,%.3d]", x, y, int(quad->rgbRed),
                                  int(quad->rgbGreen), int(quad->rgbBlue));
    }
    return 1;
}

void TVFImage::getImageInfo(QStringList &lines) const
{
    lines.append(QString::asprintf("Width (pixels)|%d", int(getWidth())));
    lines.append(QString::asprintf("Height (pixels)|%d", int(getHeight())));
    lines.append(QString::asprintf("Bits Per Pixel|%d", int(getBitsPerPixel())));
    // The bitmap's size in bytes over 10^6: decimal megabytes.
    const float megabytes = float(getImageSize()) / 1.0e6f;
    lines.append(QString::asprintf("Image Size (MB)|%0.3f", double(megabytes)));
}

// --- history --------------------------------------------------------------

void TVFImage::addHistory(const QString &text)
{
    if (m_bRecordHistory)
        m_History += QLatin1Char('{') + text + QLatin1Char('}');
    else
        m_bRecordHistory = TRUE;
}

void TVFImage::AddPreprocessStr(const QString &entry)
{
    m_History += QLatin1Char('{') + entry + QLatin1Char('}');
}

int TVFImage::SetPaletteState(int state)
{
    const int previous = m_PaletteState;
    m_PaletteState = state;
    return previous;
}

// --- display settings -------------------------------------------------------

void TVFImage::setImageAdjustmentValues(double brightness, double contrast, double gamma)
{
    fipWinImage::setImageAdjustmentValues(brightness, contrast, gamma);
    addHistory(QString::asprintf("adjustDisplayValue: Brightness %0.2f,Contrast %0.2f,Gamma %0.2f",
                                 brightness, contrast, gamma));
}

void TVFImage::setPalette(enPalette palette)
{
    setPaletteType(palette);
    switch (palette) {
    case PaletteNormal:
        addHistory(QStringLiteral("setting palette to normal"));
        break;
    case PaletteSaturation:
        addHistory(QStringLiteral("setting palette to show saturated pixel"));
        break;
    case PaletteShadesOfGreen:
        addHistory(QStringLiteral("setting palette to Shades of Green"));
        break;
    case PaletteShadesOfRed:
        addHistory(QStringLiteral("setting palette to Shades of Red"));
        break;
    case PaletteShadesOfBlue:
        addHistory(QStringLiteral("setting palette to Shades of Blue"));
        break;
    case PaletteAutoContrast:
        calcuateAutoContrastLimitsUsingHistogram();
        addHistory(QStringLiteral("setting palette to auto contrast"));
        break;
    }
}

void TVFImage::calcuateAutoContrastLimitsUsingHistogram()
{
    RasterImage *raster = getRasterImage();
    if (!raster || !raster->IsKindOf(RUNTIME_CLASS(RasterImageGS16)))
        return;
    const auto *grey = static_cast<RasterImageGS16 *>(raster);
    CIntDataArray histogram;
    grey->getHistogram(&histogram);
    const int bins = histogram.GetSize();
    const float pixels = float(double(grey->getWidth()) * double(grey->getHeight()));
    const auto lowCount = static_cast<long long>(std::floor(pixels * 0.001f + 0.5f));
    const auto highCount = static_cast<long long>(std::floor(pixels * 0.999f + 0.5f));

    int lowIndex = 0;
    long long sum = 0;
    while (sum < lowCount && lowIndex < bins)
        sum += histogram[lowIndex++];

    int highIndex = bins;
    sum = 0;
    for (int i = 0; i < bins; ++i) {
        sum += histogram[i];
        if (sum >= highCount) {
            highIndex = i + 1;
            break;
        }
    }

    const int levels = grey->getMaxPixelValue() + 1;
    setDisplayRange(mulDiv(lowIndex, 256, levels), mulDiv(highIndex, 256, levels));
}

void TVFImage::autoContrastMaxRange(BOOL on)
{
    if (on) {
        RasterImage *raster = getRasterImage();
        if (raster && raster->IsKindOf(RUNTIME_CLASS(RasterImageGS16))
            && raster->getMaxPixelValue() > 0) {
            const auto *grey = static_cast<RasterImageGS16 *>(raster);
            const long long largest = grey->getMaxPixelValue();
            setDisplayRange(int(grey->getMin() * 255LL / largest),
                            int(grey->getMax() * 255LL / largest));
        }
    }
    addHistory(QStringLiteral("autoContrastMaxRange"));
}

// --- processing operations ---------------------------------------------------

BOOL TVFImage::rotate(int angle, unsigned long background)
{
    const BOOL ok = fipWinImage::rotate(angle, background);
    if (ok)
        addHistory(QString::asprintf("Rotatation of %.2f Degrees", double(angle)));
    return ok;
}

int TVFImage::Median(int n)
{
    if (!_dib || n < 1 || n % 2 == 0)
        return 0;
    cv::Mat source;
    if (!copytoOpenCV(source))
        return 0;
    // cv::medianBlur takes any odd aperture for 8-bit data, but only 3 and 5
    // for 16-bit unsigned and float data, and nothing else.
    const int depth = source.depth();
    const bool supported = depth == CV_8U || ((depth == CV_16U || depth == CV_32F) && n <= 5);
    if (!supported)
        return 0;
    cv::Mat filtered;
    try {
        cv::medianBlur(source, filtered, n);
    } catch (const cv::Exception &) {
        return 0;
    }
    // Written back into the same bitmap, so palette, resolution and metadata stay.
    writeBackRows(filtered);
    addHistory(QString::asprintf("Noise Reduction: Median %dX%d", n, n));
    return 1;
}

int TVFImage::ContrastAve(int c)
{
    if (!_dib)
        return 0;
    BOOL ok;
    if (getImageType() == FIT_UINT16) {
        std::vector<unsigned short> table(65536);
        for (int v = 0; v < 65536; ++v)
            table[size_t(v)] = lutValue((double(v) - 32768.0) * double(c + 100) / 100.0 + 32768.0);
        ok = apply16BitLUT(table.data());
    } else {
        ok = adjustContrast(double(c));
    }
    if (ok)
        addHistory(QString::asprintf("Contrast: Average %d", c));
    return ok;
}

int TVFImage::Intensity(int b)
{
    if (!_dib)
        return 0;
    BOOL ok;
    if (getImageType() == FIT_UINT16) {
        std::vector<unsigned short> table(65536);
        for (int v = 0; v < 65536; ++v)
            table[size_t(v)] = lutValue(double(v) * double(b + 100) / 100.0);
        ok = apply16BitLUT(table.data());
    } else {
        ok = adjustBrightness(double(b));
    }
    if (ok)
        addHistory(QString::asprintf("Brighten: %d", b));
    return ok;
}

int TVFImage::apply16BitLUT(const unsigned short *table)
{
    if (!_dib || !table)
        return 0;
    if (getImageType() != FIT_UINT16)
        return 1;
    const unsigned width = getWidth();
    for (unsigned y = 0; y < getHeight(); ++y) {
        auto *line = reinterpret_cast<unsigned short *>(FreeImage_GetScanLine(_dib, y));
        for (unsigned x = 0; x < width; ++x)
            line[x] = table[line[x]];
    }
    setModified(TRUE);
    return 1;
}

BOOL TVFImage::invertPixels()
{
    const BOOL ok = fipWinImage::invertPixels();
    if (ok)
        addHistory(QStringLiteral("invertPixels"));
    return ok;
}

BOOL TVFImage::rescale(unsigned new_width, unsigned new_height)
{
    const BOOL ok = fipWinImage::rescale(new_width, new_height);
    if (ok)
        addHistory(
            QString::asprintf("Resize to %d width by %d height", int(new_width), int(new_height)));
    return ok;
}

BOOL TVFImage::flipVertical()
{
    const BOOL ok = fipWinImage::flipVertical();
    if (ok)
        addHistory(QStringLiteral("Flip Vertically"));
    return ok;
}

BOOL TVFImage::flipHorizontal()
{
    const BOOL ok = fipWinImage::flipHorizontal();
    if (ok)
        addHistory(QStringLiteral("Flip Horizontally"));
    return ok;
}

BOOL TVFImage::crop(const CRect &rect)
{
    const BOOL ok = fipWinImage::crop(rect);
    if (ok)
        addHistory(QStringLiteral("Crop"));
    return ok;
}

int TVFImage::Average(int n)
{
    addHistory(QString::asprintf("Blur: Average %dX%d", n, n));
    return 0;
}

int TVFImage::ContrastMed(int n)
{
    addHistory(QString::asprintf("Contrast: Median %d", n / 10));
    return 0;
}

int TVFImage::Sharpness(int n)
{
    addHistory(QString::asprintf("Sharpen: %d", n / 10));
    return 0;
}

int TVFImage::Threshold(int low, int high)
{
    addHistory(QString::asprintf("Threshold - Low: %d  |  High: %d", low, high));
    return 0;
}

int TVFImage::GrayScale(int bits)
{
    addHistory(QString::asprintf("Gray Scale to %d Bits Per Pixel", bits));
    return 0;
}

int TVFImage::HistoEqualize()
{
    addHistory(QStringLiteral("Equalize"));
    return 0;
}

int TVFImage::Emboss(int /*depth*/, int direction)
{
    addHistory(QString::asprintf("Emboss : %d - Light Direction ", direction));
    return 0;
}

int TVFImage::Convolution(void * /*kernel*/)
{
    addHistory(QStringLiteral("Spatial filter"));
    return 0;
}

int TVFImage::Gamma(double /*gamma*/)
{
    return 0;
}

int TVFImage::ConvolutionExt(void * /*kernel*/)
{
    return 0;
}

int TVFImage::Combine(const QString & /*first*/, const QString & /*second*/)
{
    return 0;
}

// --- OpenCV exchange ---------------------------------------------------------

BOOL TVFImage::copytoOpenCV(cv::Mat &m) const
{
    if (!_dib)
        return FALSE;
    const int type = matrixTypeOf(getImageType(), getBitsPerPixel());
    if (type < 0)
        return FALSE;
    const int width = int(getWidth());
    const int height = int(getHeight());
    m.create(height, width, type);
    const size_t rowBytes = size_t(width) * m.elemSize();
    for (int r = 0; r < height; ++r)
        std::memcpy(m.ptr(r), FreeImage_GetScanLine(_dib, height - 1 - r), rowBytes);
    return TRUE;
}

BOOL TVFImage::copyFromOpenCV(const cv::Mat &m)
{
    if (m.dims != 2 || m.rows <= 0 || m.cols <= 0)
        return FALSE;
    FIBITMAP *dib = nullptr;
    switch (m.type()) {
    case CV_8UC1:
        dib = FreeImage_Allocate(m.cols, m.rows, 8);
        break;
    case CV_8UC3:
        dib = FreeImage_Allocate(m.cols, m.rows, 24);
        break;
    case CV_16UC1:
        dib = FreeImage_AllocateT(FIT_UINT16, m.cols, m.rows, 16);
        break;
    case CV_16SC1:
        dib = FreeImage_AllocateT(FIT_INT16, m.cols, m.rows, 16);
        break;
    case CV_32SC1:
        dib = FreeImage_AllocateT(FIT_INT32, m.cols, m.rows, 32);
        break;
    case CV_32FC1:
        dib = FreeImage_AllocateT(FIT_FLOAT, m.cols, m.rows, 32);
        break;
    case CV_64FC1:
        dib = FreeImage_AllocateT(FIT_DOUBLE, m.cols, m.rows, 64);
        break;
    default:
        // No picture kind for this matrix: the current picture stays.
        return FALSE;
    }
    if (!dib)
        return FALSE;
    const size_t rowBytes = size_t(m.cols) * m.elemSize();
    for (int r = 0; r < m.rows; ++r)
        std::memcpy(FreeImage_GetScanLine(dib, m.rows - 1 - r), m.ptr(r), rowBytes);
    replaceBitmap(dib);
    return TRUE;
}

void TVFImage::writeBackRows(const cv::Mat &m)
{
    const int height = int(getHeight());
    const size_t rowBytes = size_t(m.cols) * m.elemSize();
    for (int r = 0; r < height && r < m.rows; ++r)
        std::memcpy(FreeImage_GetScanLine(_dib, height - 1 - r), m.ptr(r), rowBytes);
    setModified(TRUE);
}

// --- document storage ------------------------------------------------------------

// Layout (schema 1): history (CString), DWORD byte count n, n bytes of the
// picture as a TIFF file, brightness, contrast, gamma (doubles), display range
// low and high (int32), palette type (int32). Schema 0 ends after the TIFF.
// An empty picture is stored with n = 0 and read back empty.
void TVFImage::Serialize(CArchive &ar)
{
    fipWinImage::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_History;
        if (!_dib) {
            ar << uint32_t(0);
        } else {
            const QByteArray tiff = encode(FIF_TIFF, TIFF_DEFAULT);
            if (tiff.isEmpty())
                throw CArchiveException(CArchiveException::genericException);
            ar << uint32_t(tiff.size());
            ar.Write(tiff.constData(), qint64(tiff.size()));
        }
        storeDisplaySettings(ar);
        return;
    }

    const unsigned schema = ar.GetObjectSchema();
    if (schema != 0 && schema != 1)
        return;
    const QString history = ar.ReadString();
    uint32_t size = 0;
    ar >> size;
    ar.EnsureAvailable(qint64(size));
    // Read in pieces so a damaged count on a sequential device cannot make us
    // allocate more than the input actually holds.
    QByteArray bytes;
    constexpr uint32_t chunk = 1u << 20;
    for (uint32_t done = 0; done < size;) {
        const uint32_t piece = std::min(chunk, size - done);
        bytes.resize(qsizetype(done) + piece);
        ar.Read(bytes.data() + done, piece);
        done += piece;
    }
    BitmapPtr dib;
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    if (size > 0) {
        fipMemoryIO memory(reinterpret_cast<BYTE *>(bytes.data()), DWORD(bytes.size()));
        fif = detectMemoryType(memory);
        QString refusal;
        dib.reset(loadChecked(fif, memory, 0, &refusal));
        refuseTooLarge(refusal);
        if (!dib)
            throw CArchiveException(CArchiveException::genericException);
    }
    if (schema == 1)
        loadDisplaySettings(ar);

    m_History = history;
    if (dib) {
        replaceBitmap(dib.release());
        _fif = fif;
    } else {
        clear();
    }
}
