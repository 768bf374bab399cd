#pragma once

// Display layer of the picture. FreeImagePlus ships its window-image class
// for Windows only; this one derives from fipImage and keeps its interface
// (handle and clipboard exchange, window capture, draw/drawEx, tone mapping)
// over Qt, and adds what the program shows pictures with: brightness,
// contrast, gamma, a palette for grey pictures, the display range of the
// auto-contrast palette and pixel inversion.
//
// The picture's own bitmap is never altered for display: every draw after a
// change builds the display bitmap from a copy and keeps it as a QImage
// (ImageDisplayPipeline). The exchange with the desktop is BitmapExchange's,
// reading and writing through Qt devices FreeImageDeviceIO's.
//
// Every member that changes pixels goes through setModified(TRUE), which the
// derived image uses to drop what it derived from the old pixels. The fipImage
// members that change pixels are therefore hidden here by wrappers; code that
// writes scan lines directly must call setModified() itself.

#include "imaging/ImageDisplayPipeline.h"
#include "platform/CObject.h"
#include "platform/Geometry.h"

#include <FreeImagePlus.h>

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGui/qwindowdefs.h>

class CArchive;
class QIODevice;
class QPainter;

class fipWinImage : public fipImage, public CObject
{
    DECLARE_SERIAL(fipWinImage)

public:
    // Palettes of grey pictures; the numbers are stored in documents.
    enum enPalette : int {
        PaletteNormal = 0,
        PaletteSaturation = 1,
        PaletteShadesOfGreen = 2,
        PaletteShadesOfRed = 3,
        PaletteShadesOfBlue = 4,
        PaletteAutoContrast = 5,
    };

    explicit fipWinImage(FREE_IMAGE_TYPE image_type = FIT_BITMAP, unsigned width = 0,
                         unsigned height = 0, unsigned bpp = 0);
    // Clones the bitmap and copies the display settings; the display bitmap is
    // rebuilt on the next draw.
    fipWinImage(const fipWinImage &src);
    fipWinImage &operator=(const fipWinImage &src);
    // Takes ownership of the bitmap.
    fipWinImage &operator=(FIBITMAP *dib);
    ~fipWinImage() override;

    void clear() override;
    BOOL isValid() const override;

    // The settings are stored by the derived image (storeDisplaySettings).
    void Serialize(CArchive &ar) override;

    // Brightness, contrast, gamma (doubles), display range low and high
    // (int32), palette type (int32). A stored palette type outside 0..5
    // leaves the current one.
    void storeDisplaySettings(CArchive &ar) const;
    void loadDisplaySettings(CArchive &ar);

    // --- exchange with the desktop --------------------------------------

    // A packed device-independent bitmap (info header, palette, bits), the
    // form a global memory handle holds. Empty when there is no standard bitmap.
    QByteArray copyToHandle() const;
    BOOL copyFromHandle(const QByteArray &packedDib);
    // Grey 8 and 16-bit images keep their depth; others become 24 or 32 bits.
    BOOL copyFromBitmap(const QImage &bitmap);
    // The picture (not the display) as a QImage; 16-bit grey stays 16-bit.
    QImage toQImage() const;
    // Need a running QGuiApplication; FALSE without one.
    BOOL copyToClipboard() const;
    BOOL pasteFromClipboard();
    BOOL captureWindow(WId window);

    // --- drawing ----------------------------------------------------------

    // Draws the picture stretched into rcDest (nearest-neighbour, as a
    // colour-on-colour stretch does).
    void draw(QPainter *painter, const CRect &rcDest) const { drawEx(painter, rcDest); }
    void drawEx(QPainter *painter, const CRect &rcDest, BOOL useFileBkg = FALSE,
                RGBQUAD *appBkColor = nullptr, FIBITMAP *bg = nullptr) const;
    // What draw paints, rebuilt when the pixels or the display settings
    // changed since the last call. Null for an empty picture.
    const QImage &getDisplayImage(BOOL useFileBkg = FALSE, RGBQUAD *appBkColor = nullptr,
                                  FIBITMAP *bg = nullptr) const;

    void setToneMappingOperator(FREE_IMAGE_TMO tmo, double first_param = 0, double second_param = 0,
                                double third_param = 1, double fourth_param = 0);
    void getToneMappingOperator(FREE_IMAGE_TMO *tmo, double *first_param, double *second_param,
                                double *third_param, double *fourth_param) const;

    // --- display settings -------------------------------------------------

    double getBrightness() const { return m_Brightness; }
    double getContrast() const { return m_Contrast; }
    double getGamma() const { return m_Gamma; }
    enPalette getPaletteType() const { return m_PaletteType; }
    int getDisplayRangeLow() const { return m_DisplayRangeLow; }
    int getDisplayRangeHigh() const { return m_DisplayRangeHigh; }

    // Store the values only; the derived image adds the history entry.
    virtual void setImageAdjustmentValues(double brightness, double contrast, double gamma);
    void setPaletteType(enPalette palette);
    void setDisplayRange(int low, int high);

    // 16-bit unsigned grey samples.
    BOOL isHighResGrayscale() const { return getImageType() == FIT_UINT16; }

    // --- pixel changes ----------------------------------------------------

    // Complements the pixels (see the .cpp for the kinds handled); 0 when
    // there is nothing it can invert.
    virtual BOOL invertPixels();

    virtual BOOL crop(const CRect &rect);
    BOOL crop(int left, int top, int right, int bottom)
    {
        return crop(CRect(left, top, right, bottom));
    }
    // Quarter turns and arbitrary angles (the canvas grows for the latter).
    // No background colour is passed to the library (see the .cpp).
    virtual BOOL rotate(int angle, unsigned long background = 0);
    // Bilinear resampling.
    virtual BOOL rescale(unsigned new_width, unsigned new_height);
    BOOL rescale(unsigned new_width, unsigned new_height, FREE_IMAGE_FILTER filter);
    virtual BOOL flipVertical();
    virtual BOOL flipHorizontal();

    // Whether the library can write this picture's type and depth in the
    // format named by the file's extension.
    virtual BOOL canSave(const QString &fileName) const;
    virtual BOOL save(const QString &fileName);
    // The picture encoded as a file of the given format, in memory; empty when
    // the format cannot hold it. Gaps the encoder seeks over are zeros, so the
    // same picture always gives the same bytes (FreeImage's own memory stream
    // leaves them uninitialised).
    QByteArray encode(FREE_IMAGE_FORMAT fif, int flags = 0) const;
    using fipImage::save;

    // Marks the pixels changed (TRUE) so the next draw rebuilds the display
    // and derived data is dropped.
    void setModified(BOOL bStatus = TRUE);
    BOOL isModified() const { return _bHasChanged; }

    // fipImage members that change pixels, wrapped so the change is seen.
    BOOL setSize(FREE_IMAGE_TYPE image_type, unsigned width, unsigned height, unsigned bpp,
                 unsigned red_mask = 0, unsigned green_mask = 0, unsigned blue_mask = 0);
    BOOL load(const char *lpszPathName, int flag = 0);
    BOOL load(FREE_IMAGE_FORMAT fif, const char *lpszPathName, int flag = 0);
    BOOL loadU(const wchar_t *lpszPathName, int flag = 0);
    BOOL loadU(FREE_IMAGE_FORMAT fif, const wchar_t *lpszPathName, int flag = 0);
    BOOL loadFromHandle(FreeImageIO *io, fi_handle handle, int flag = 0);
    BOOL loadFromMemory(fipMemoryIO &memIO, int flag = 0);
    BOOL loadFromMemory(FREE_IMAGE_FORMAT fif, fipMemoryIO &memIO, int flag = 0);
    BOOL pasteSubImage(fipImage &src, int left, int top, int alpha = 256);
    BOOL setPixelIndex(unsigned x, unsigned y, BYTE *value);
    BOOL setPixelColor(unsigned x, unsigned y, RGBQUAD *value);
    BOOL convertToType(FREE_IMAGE_TYPE image_type, BOOL scale_linear = TRUE);
    BOOL threshold(BYTE T);
    BOOL dither(FREE_IMAGE_DITHER algorithm);
    BOOL convertTo4Bits();
    BOOL convertTo8Bits();
    BOOL convertToGrayscale();
    BOOL colorQuantize(FREE_IMAGE_QUANTIZE algorithm);
    BOOL convertTo16Bits555();
    BOOL convertTo16Bits565();
    BOOL convertTo24Bits();
    BOOL convertTo32Bits();
    BOOL convertToFloat();
    BOOL convertToRGBF();
    BOOL convertToRGBAF();
    BOOL convertToUINT16();
    BOOL convertToRGB16();
    BOOL convertToRGBA16();
    BOOL toneMapping(FREE_IMAGE_TMO tmo, double first_param = 0, double second_param = 0,
                     double third_param = 1, double fourth_param = 0);
    BOOL setChannel(fipImage &image, FREE_IMAGE_COLOR_CHANNEL channel);
    BOOL combineChannels(fipImage &red, fipImage &green, fipImage &blue);
    BOOL rotateEx(double angle, double x_shift, double y_shift, double x_origin, double y_origin,
                  BOOL use_mask);
    BOOL invert();
    BOOL adjustCurve(BYTE *LUT, FREE_IMAGE_COLOR_CHANNEL channel);
    BOOL adjustGamma(double gamma);
    BOOL adjustBrightness(double percentage);
    BOOL adjustContrast(double percentage);
    BOOL adjustBrightnessContrastGamma(double brightness, double contrast, double gamma);
    BOOL makeThumbnail(unsigned max_size, BOOL convert = TRUE);

    // Detected format of a file or a memory block. FreeImage reports many
    // plain TIFF files as camera raw (LibRaw accepts TIFF signatures); those
    // are read as TIFF unless the name says raw. detectFileType falls back
    // on the name when the contents say nothing; detectFileContents does not.
    static FREE_IMAGE_FORMAT detectFileType(const QString &path);
    static FREE_IMAGE_FORMAT detectFileContents(const QString &path);
    static FREE_IMAGE_FORMAT detectMemoryType(FIMEMORY *memory);

    // Decode with FreeImage; null when the file's structure or header is
    // damaged (see ImageFileCheck), the picture would need more memory than
    // a picture may take (refusal then holds the message that says so), the
    // library failed or reported a problem while decoding (see
    // FreeImageErrorTrap) or a decoder that reads exact sizes ran past the
    // end of the input (a file cut short).
    static FIBITMAP *loadChecked(FREE_IMAGE_FORMAT fif, QIODevice *device, int flag = 0,
                                 QString *refusal = nullptr);
    static FIBITMAP *loadChecked(FREE_IMAGE_FORMAT fif, const QString &path, int flag = 0,
                                 QString *refusal = nullptr);
    static FIBITMAP *loadChecked(FREE_IMAGE_FORMAT fif, FIMEMORY *memory, int flag = 0,
                                 QString *refusal = nullptr);

protected:
    // Called after every pixel change; the derived image drops its caches.
    virtual void onPixelsChanged() { }

    // Replaces the bitmap (owned from now on) and marks the pixels changed.
    void replaceBitmap(FIBITMAP *dib);
    BOOL changed(BOOL ok)
    {
        if (ok)
            setModified(TRUE);
        return ok;
    }

    int m_DisplayRangeLow = 0;
    int m_DisplayRangeHigh = 255;
    FREE_IMAGE_TMO m_ToneMappingOperator = FITMO_DRAGO03;
    double m_ToneMappingParam1 = 0;
    double m_ToneMappingParam2 = 0;
    double m_ToneMappingParam3 = 1;
    double m_ToneMappingParam4 = 0;
    double m_Brightness = 0;
    double m_Contrast = 0;
    double m_Gamma = 1;
    enPalette m_PaletteType = PaletteNormal;

private:
    void copyDisplaySettings(const fipWinImage &src);
    void invalidateDisplay() const { m_Display.invalidate(); }

    // The display bitmap, kept as the image QPainter draws.
    mutable ImageDisplayPipeline m_Display;
};
