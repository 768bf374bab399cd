#pragma once

// Grey raster of an 8-bit or 16-bit grey picture: one signed 32-bit value per
// pixel, row 0 at the top, index width * y + x. Every measurement reads pixels
// through this class, so each read is one multiply and one add whatever the
// source depth, palette or scan-line padding was.

#include "imaging/RasterImage.h"
#include "platform/Geometry.h"

#include <climits>
#include <memory>

class CIntDataArray;
class CPointArray;

class RasterImageGS16 : public RasterImage
{
    DECLARE_SERIAL(RasterImageGS16)

public:
    // Statistics of a raster nobody has measured yet.
    static constexpr int kUnsetMinimum = INT_MIN;
    static constexpr int kUnsetMaximum = INT_MAX;

    RasterImageGS16();
    // 16-bit raster of zeros; statistics unset.
    RasterImageGS16(int width, int height);
    // Converts the picture (16-bit grey samples, or the bytes of an 8-bit
    // standard bitmap; 0 for any other kind) and computes the statistics.
    explicit RasterImageGS16(TVFImage *image);
    // The same conversion straight from a FreeImage bitmap.
    explicit RasterImageGS16(FIBITMAP *bitmap);
    // Deep copy whose statistics are recomputed from the pixels.
    explicit RasterImageGS16(const RasterImageGS16 *other);
    // 8-bit or 16-bit unsigned one-channel matrix (depth 8 or 16); any other
    // type gives depth 1 and zeros. No flip; statistics unset.
    explicit RasterImageGS16(const cv::Mat &matrix);
    // Copies pixels and statistics as they stand in the source.
    RasterImageGS16(const RasterImageGS16 &other);
    RasterImageGS16 &operator=(const RasterImageGS16 &other);
    ~RasterImageGS16() override;

    void copy(const RasterImageGS16 &other);
    // Takes the other raster's size, depth and statistics but none of its
    // pixels: for a raster the caller is about to overwrite entirely. A
    // buffer of the same size is kept as it is, a new one is uninitialised.
    void copyShape(const RasterImageGS16 &other);

    // Pixel access checks nothing: callers clip their coordinates first.
    int getPixel(int x, int y) const { return m_pPixels[size_t(m_Width) * size_t(y) + size_t(x)]; }
    int getPixel(const CPoint &p) const { return getPixel(p.x, p.y); }
    int *getPixelPntr(int &x, int &y)
    {
        return &m_pPixels[size_t(m_Width) * size_t(y) + size_t(x)];
    }
    void setPixel(int x, int y, int value)
    {
        m_pPixels[size_t(m_Width) * size_t(y) + size_t(x)] = value;
    }

    // The whole pixel array, row by row (width * height values; null when empty).
    int *getPixels() { return m_pPixels.get(); }
    const int *getPixels() const { return m_pPixels.get(); }

    // Value at centre + (radius, angle in degrees); 0 outside the raster.
    int getPolarPixel(CPoint centre, float radius, float angle) const;

    // out is emptied, then receives the value at every point of the list.
    void getPixelsFor(const CPointArray *points, CIntDataArray *out) const;
    // out is emptied, then receives the rectangle column by column.
    void getPixelsFor(CRect rect, CIntDataArray *out) const;
    // Append (no clearing) the run from..to along row y / column x: forwards
    // up to to - 1, backwards down to to + 2.
    void getHorizontalPixels(CIntDataArray *out, int from, int to, int y) const;
    void getVerticalPixels(CIntDataArray *out, int from, int to, int x) const;
    // out becomes largest value + 1 counts; a value outside 0..largest raises
    // CInvalidArgException.
    void getHistogram(CIntDataArray *out) const;
    // out is emptied, then receives every pixel row by row, top row first.
    void copyTo(CIntDataArray *out) const;
    // this = max(0, this - other) pixel by pixel; statistics are refreshed.
    // other must be at least as large (CInvalidArgException otherwise).
    void subtractImage(const RasterImageGS16 *other);
    // This raster becomes minuend with subtrahend taken off, pixel by pixel,
    // exactly as copy(minuend) then subtractImage(&subtrahend), without
    // writing the copy first.
    void setDifference(const RasterImageGS16 &minuend, const RasterImageGS16 &subtrahend);
    void calculateStatistics();
    // New display image of the raster (8-bit standard bitmap for depth 8,
    // otherwise 16-bit grey); the caller owns it.
    std::unique_ptr<TVFImage> convert2TVFImage() const;
    // The same conversion as a bare FreeImage bitmap (caller unloads it).
    FIBITMAP *convert2FIBitmap() const;
    // Appends, for every row, the rounded mean of columns x0..x1 (inclusive,
    // clipped to the raster): a profile down a vertical beam.
    void getxAveregedVertricalBeamProfile(CIntDataArray *out, int x0, int x1) const;

    double getMean() const { return m_Mean; }
    int getMin() const { return m_Min; }
    int getMax() const { return m_Max; }

private:
    // Smallest and largest pixel and their sum, gathered as rows are written.
    struct Statistics;
    void setStatistics(const Statistics &statistics);
    void allocate();
    void convertFrom(FIBITMAP *bitmap);
    // Raises CInvalidArgException outside the raster (list and run readers only).
    void checkPoint(int x, int y) const;
    void appendRun(CIntDataArray *out, int from, int to, bool alongRow, int fixed) const;

    double m_Mean = 0.0;
    int m_Min = kUnsetMinimum;
    int m_Max = kUnsetMaximum;
    std::unique_ptr<int[]> m_pPixels;
};
