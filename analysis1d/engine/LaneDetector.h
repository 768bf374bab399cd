#pragma once

// Finds the lanes of a gel in the analysis image as pairs of left and right
// borders. A lane column holds bands and varies more from top to bottom than a
// gap column; lane edges are where that variation rises (a peak of the t series)
// or falls (a valley), and a peak followed by a valley far enough away is a lane.

#include "analysis1d/engine/HorizontalBoundary.h"
#include "platform/CArray.h"
#include "platform/CObject.h"

#include <QString>
#include <memory>
#include <vector>

class RasterImageGS16;
class X2YProjection;

class LaneDetector : public CObject
{
    DECLARE_DYNAMIC(LaneDetector)

public:
    // Working record of the border search.
    struct peaksAndValleys
    {
        int position = 0; // column
        double value = 0.0; // t value
        int kind = 0; // +1 peak, -1 valley
        int used = 1;
    };

    // Builds the column statistics of the image (spread and slope).
    explicit LaneDetector(RasterImageGS16 *image);
    LaneDetector(const LaneDetector &) = delete;
    LaneDetector &operator=(const LaneDetector &) = delete;
    ~LaneDetector() override;

    // Finds the lanes for the expected lane width (the example band's width).
    // The title is not used. Afterwards the lanes are in GetLanes(), left to
    // right; when no lane is found the whole width is one lane (0, W - 1).
    void detect(int laneWidth, const QString &title = QString());
    // Peaks and valleys of the projection's t series, then their pairing into
    // lanes; halfWidth is half the lane width. Replaces the lanes found.
    void findPreliminaryLaneBordersFromt_Values(double halfWidth);

    const CArray<HorizontalBoundary> &GetLanes() const { return m_Lanes; }
    int GetNumberOfLanes() const { return m_Lanes.GetSize(); }
    // Raises CInvalidArgException outside 0..count - 1.
    const HorizontalBoundary &GetLane(int index) const { return m_Lanes[index]; }
    const std::vector<peaksAndValleys> &GetPeaksAndValleys() const { return m_PeaksAndValleys; }
    X2YProjection *GetProjection() const { return m_pProjection.get(); }
    RasterImageGS16 *GetImage() const { return m_pImage; }
    double GetSlopeThreshold() const { return m_SlopeThreshold; }

private:
    void findPeaksAndValleys();
    void pairPeaksAndValleys(double halfWidth);

    RasterImageGS16 *m_pImage = nullptr; // not owned
    std::unique_ptr<X2YProjection> m_pProjection;
    CArray<HorizontalBoundary> m_Lanes;
    double m_SlopeThreshold = 5.0;
    std::vector<peaksAndValleys> m_PeaksAndValleys;
};
