#pragma once

// The program's picture: one FreeImage bitmap with its display settings
// (fipWinImage), a running history of everything done to it, and a cached
// raster for reading pixel values. It loads pictures from files and memory,
// stores itself in documents (as a TIFF encoded in memory) and carries the
// processing operations of the image-adjustment pages.
//
// History: every operation appends "{" text "}". Clearing the record flag
// suppresses exactly the next entry (the flag is set again instead).
//
// The raster handed out by getRasterImage belongs to the picture and is
// dropped on every pixel change: do not keep the pointer across one.

#include "imaging/fipWinImage.h"

#include <QString>
#include <QStringList>

#include <memory>

class QFile;
class RasterImage;

namespace cv {
class Mat;
}

class TVFImage : public fipWinImage
{
    DECLARE_SERIAL(TVFImage)

public:
    TVFImage();
    // Blank bitmap of the given data type.
    TVFImage(FREE_IMAGE_TYPE image_type, unsigned width, unsigned height, unsigned bpp);
    // Blank standard bitmap; the palette (2^bpp entries, bpp <= 8) is copied when given.
    TVFImage(int width, int height, int bpp, const RGBQUAD *palette);
    // The copy has the same bitmap, settings, history, palette state and
    // record flag, but no raster until one is asked for.
    TVFImage(const TVFImage &src);
    TVFImage &operator=(const TVFImage &src);
    // Picture and display settings only (history and flags stay).
    using fipWinImage::operator=;
    ~TVFImage() override;

    // --- input ------------------------------------------------------------

    // Format from the contents, else from the name. 1 when the picture was
    // read and is one a raster can be made of (8-bit, 16-bit grey or RGB);
    // otherwise 0 and the current picture is kept. A picture whose declared
    // size would need more memory than a picture may take is refused before
    // anything is allocated: the user is told its size and CUserException
    // is raised (the document reading stops without a second message).
    int CreateFromFileName(const QString &path);
    int CreateFromFile(QFile *file);
    // Decodes a picture held in memory (format from the bytes); 1 on success,
    // 0 (current picture kept) on failure, a picture too large included.
    int Load(const unsigned char *data, unsigned long size);
    int Create(const unsigned char *data, unsigned long size) { return Load(data, size); }

    // Format named by the text after the last "." (case ignored): TIF, TIFF,
    // BMP, JPG, PCX, TGA, RAS, PSD, PNG, GIF; FIF_UNKNOWN (-1) otherwise.
    static int GetFileType(const QString &fileName);
    // Format detected from the file's contents.
    static int GetFileType(QFile *file);

    CSize GetSize() const { return CSize(int(getWidth()), int(getHeight())); }
    void draw(QPainter *painter, const CRect *rect) const;
    using fipWinImage::draw;

    // --- read-out -----------------------------------------------------------

    // RasterImageGS16 for 16-bit grey and 8-bit standard bitmaps,
    // RasterImageRGB for RGB(A) standard bitmaps, null otherwise.
    RasterImage *getRasterImage();
    // "(xxx,yyy)=[vvv]" (grey) or "(xxx,yyy)=[r,g,b]" (colour) for a point in
    // raster coordinates; 1 on success, 0 (text emptied) when the point lies
    // outside the picture or no raster can be made.
    int GetFormatedPixelString(const CPoint *point, QString *text);
    // Appends "Width (pixels)|..", "Height (pixels)|..", "Bits Per Pixel|.."
    // and "Image Size (MB)|..".
    void getImageInfo(QStringList &lines) const;

    // --- history --------------------------------------------------------------

    const QString &GetPreprocessStr() const { return m_History; }
    void SetPreprocessStr(const QString &history) { m_History = history; }
    void AddPreprocessStr(const QString &entry);
    BOOL getRecordHistory() const { return m_bRecordHistory; }
    void setRecordHistory(BOOL record) { m_bRecordHistory = record; }
    // Returns the previous state.
    int SetPaletteState(int state);
    int GetPaletteState() const { return m_PaletteState; }

    // --- display settings ----------------------------------------------------

    void setImageAdjustmentValues(double brightness, double contrast, double gamma) override;
    // The auto-contrast palette computes its display range from the histogram.
    void setPalette(enPalette palette);
    void calcuateAutoContrastLimitsUsingHistogram();
    // Display range from the smallest and largest pixel (when on and grey).
    void autoContrastMaxRange(BOOL on);

    // --- processing operations (non-zero on success) ---------------------------

    BOOL rotate(int angle, unsigned long background = 0) override;
    // Median filter of aperture n (odd). 16-bit and float pictures take
    // apertures 3 and 5 only; larger ones are refused (0).
    int Median(int n);
    int ContrastAve(int c);
    int Intensity(int b);
    // 16-bit grey: sample v becomes table[v] (65536 entries).
    int apply16BitLUT(const unsigned short *table);
    BOOL invertPixels() override;
    BOOL rescale(unsigned new_width, unsigned new_height) override;
    using fipWinImage::rescale;
    BOOL flipVertical() override;
    BOOL flipHorizontal() override;
    BOOL crop(const CRect &rect) override;
    using fipWinImage::crop;

    // Recorded in the history only; the pixels are not changed (result 0).
    int Average(int n);
    int ContrastMed(int n);
    int Sharpness(int n);
    int Threshold(int low, int high);
    int GrayScale(int bits);
    int HistoEqualize();
    int Emboss(int depth, int direction);
    int Convolution(void *kernel);
    // Do nothing (result 0).
    int Gamma(double gamma);
    int ConvolutionExt(void *kernel);
    int Combine(const QString &first, const QString &second);

    // --- OpenCV exchange ------------------------------------------------------

    // Rows = height, top row first. FALSE (m untouched) for kinds without a
    // matrix type (e.g. 1/4/16/32-bit standard bitmaps).
    BOOL copytoOpenCV(cv::Mat &m) const;
    // Replaces the picture; FALSE (picture kept) for an empty matrix or a
    // type without a picture kind.
    BOOL copyFromOpenCV(const cv::Mat &m);

    // --- document storage ------------------------------------------------------

    // A stored picture that cannot be decoded raises CArchiveException; one
    // too large to hold is refused as CreateFromFileName refuses it.
    void Serialize(CArchive &ar) override;

protected:
    void onPixelsChanged() override;

private:
    void addHistory(const QString &text);
    // Copies matrix rows back into the current bitmap (same size and kind).
    void writeBackRows(const cv::Mat &m);

    QString m_History;
    std::unique_ptr<RasterImage> m_pRasterImage;
    int m_PaletteState = 0;
    BOOL m_bRecordHistory = TRUE;
};
