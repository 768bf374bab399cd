#pragma once

// Column statistics of the analysis image for the lane detector. A lane column
// holds bands and so varies more from top to bottom than a gap column; the
// series here measure that variation and where it rises or falls.
//
// Every padded series has W + 200 entries, index p standing for image column
// p - 100, so windows near the image's edges need no special cases.

#include "platform/CObject.h"

#include <vector>

class RasterImageGS16;

class X2YProjection : public CObject
{
    DECLARE_DYNAMIC(X2YProjection)

public:
    static constexpr int kPadding = 100;
    static constexpr double kDefaultSlopeThreshold = 5.0;

    // Zeroes every series, then computes the column spread and its slope with
    // the default threshold. Without an image every series is empty.
    explicit X2YProjection(RasterImageGS16 *image);
    X2YProjection(const X2YProjection &) = delete;
    X2YProjection &operator=(const X2YProjection &) = delete;
    ~X2YProjection() override;

    // Sample standard deviation of each padded column over the rows. Columns
    // left of the image repeat the rounded mean of its first two columns, those
    // right of it the rounded mean of its last two. An image of one row has no
    // spread (0).
    void CalculateColumnSpread();
    // d(p) = (s(p + 1) - s(p - 1)) * 20, set to 0 when |d(p)| < threshold; the
    // two end entries are 0.
    void CalculateSlope(double threshold);
    // Every run of positions with zero slope that ends at a position of non-zero
    // slope is replaced by its mean spread (all runs judged on the spread before
    // levelling); a run still open at the end stays as it is.
    void LevelFlatStretches();
    // Two-sample t statistic (equal variances) between the n spreads left and
    // the n spreads right of each position; positions not reached stay 0.
    // Nothing is computed for n < 1.
    void CalculateTValues(int n);
    // Moving mean of 2g + 1 padded t values (the first and last g stay), then
    // the real-column series T(x) = t(x + 99).
    void SmoothTValues(int g);

    RasterImageGS16 *GetImage() const { return m_pImage; }
    int GetWidth() const { return m_width; }
    int GetPaddedSize() const { return int(m_columnSpread.size()); }

    const std::vector<double> &GetColumnSpread() const { return m_columnSpread; }
    const std::vector<double> &GetSlope() const { return m_slope; }
    const std::vector<double> &GetPaddedTValues() const { return m_paddedTValues; }
    // The final t series, one value per image column. Writable so that the
    // border search can be run on a series of one's own.
    std::vector<double> &GetTValues() { return m_tValues; }
    const std::vector<double> &GetTValues() const { return m_tValues; }

private:
    // Padded pixel v(p, y).
    int PaddedPixel(int p, int y) const;

    std::vector<double> m_columnSpread; // W + 200
    std::vector<double> m_slope; // W + 200
    std::vector<double> m_tValues; // W
    std::vector<double> m_paddedTValues; // W + 200
    RasterImageGS16 *m_pImage = nullptr; // not owned
    int m_width = 0;
    int m_height = 0;
};
