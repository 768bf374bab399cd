#pragma once

// One band of a lane: an analysis overlay (its rectangle in analysis-image
// coordinates) that owns the record of its measurements. Lanes hold bands by
// value, so a band is copied freely; its number is its index in the lane + 1.

#include "analysis1d/engine/BandData.h"
#include "contracts/analysis/AnalysisOverlay.h"

class BandsOptions;
class CIntDataArray;
class RasterImageGS16;
class UserDrawnBand;

class Band : public AnalysisOverlay
{
    DECLARE_SERIAL(Band)

public:
    Band();
    Band(const Band &other);
    // position and bound in analysis coordinates, analysisArea in gel pixels.
    Band(const CRect &position, const CRect &bound, const CRect &analysisArea);
    // A detected band: position and bound are the record's detected rectangle.
    Band(const BandData &data, const CRect &analysisArea);
    // Adopts a band the user drew: its rectangles are taken into analysis
    // coordinates of the drawn band's bound (the analysis area), the centre of
    // gravity starts at the rectangle's middle and the band counts as valid.
    explicit Band(const UserDrawnBand &drawn);
    ~Band() override;

    // Drawing state, analysis area and record.
    Band &operator=(const Band &other);
    CDrawObject &operator=(const CDrawObject &other) override;
    // Only the record.
    void copy(const Band &other);

    BandData *getData() { return &m_data; }
    const BandData *getData() const { return &m_data; }

    // Schema 2: the overlay part, then the record as an object (see the .cpp).
    void Serialize(CArchive &ar) override;
    // The band as analyses of version 2 stored it inside their lanes.
    void ReadV2AndBelow(CArchive &ar);

    CDrawObject *Clone(CDrawDocument *pDoc) override;
    // The record's information lines in a list titled "Band info".
    void OnEditProperties(CDrawView *pView) override;

    // Measures the band on the analysis image against the lane's background and
    // profile (one value per image row); wellY and dyeFrontY are the reference
    // rows of the relative migration. A band row outside either profile raises
    // CInvalidArgException.
    void CalculateData(RasterImageGS16 *image, CIntDataArray *background,
                       CIntDataArray *profile, int wellY, int dyeFrontY);
    // Intensity and surface area over the contour (the whole rectangle when the
    // contour encloses nothing), each pixel counted above the baseline.
    void CalculateVolume(RasterImageGS16 *image, double baseline);
    // Counts the pixels of the same region (contour or rectangle) that stand
    // at the image's largest value for its depth (255 or 65535). The analysis
    // image is inverted for dark bands, so black pixels of a stained gel
    // count. CalculateData does this on every measurement.
    void CountSaturatedPixels(const RasterImageGS16 *image);
    int GetSaturatedPixels() const { return m_data.m_saturatedPixels; }
    bool IsSaturated() const { return m_data.m_saturatedPixels > 0; }

    // Traces the contour at 'percentage' percent between the darkest and the
    // lightest values of the rectangle; with fitVertical / fitHorizontal the
    // band's rectangle is then snapped to the contour's box.
    void FindBroundryPoints(RasterImageGS16 *image, int percentage, int doTop, int doBottom,
                            int fitVertical, int fitHorizontal);
    static void FindTopBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint centre,
                                      float fraction, CPointArray *out);
    static void FindBottomBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint centre,
                                         float fraction, CPointArray *out);
    static void FindLeftRightBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint centre,
                                            float threshold, CPointArray *left,
                                            CPointArray *right);

    // The band with its bracket, contour, centre dot, number and known values,
    // as the band options ask.
    using AnalysisOverlay::Draw;
    virtual void Draw(QPainter *pDC, CDrawView *pView, int bandIndex, BandsOptions *options);

private:
    void setDefaultColors();
    // Calls visit(row, first, last) for every run of pixels (columns first to
    // last inclusive) of the band's region inside the image: the contour's
    // winding-fill pixels within the rectangle, or the whole rectangle when
    // the contour encloses nothing. Rows top to bottom, runs left to right.
    template<typename Visit>
    void forEachRegionRun(const RasterImageGS16 *image, Visit &&visit) const;

    BandData m_data;
};
