#include "analysis1d/engine/LaneDetector.h"

#include "analysis1d/engine/X2YProjection.h"

#include <cmath>

IMPLEMENT_DYNAMIC(LaneDetector, CObject)

LaneDetector::LaneDetector(RasterImageGS16 *image)
    : m_pImage(image), m_pProjection(std::make_unique<X2YProjection>(image))
{ }

LaneDetector::~LaneDetector() = default;

void LaneDetector::detect(int laneWidth, const QString & /*title*/)
{
    const int h = int(std::floor(0.5 * laneWidth + 0.5));
    const int n = int(std::floor(0.9 * h + 0.5));
    const int g = int(std::floor(0.25 * laneWidth + 0.5));

    // The constructor computed the slope already; it is recomputed from the same
    // spread, so it is the same unless detect runs a second time.
    m_pProjection->CalculateSlope(m_SlopeThreshold);
    m_pProjection->LevelFlatStretches();
    m_pProjection->CalculateTValues(n);
    m_pProjection->SmoothTValues(g);
    findPreliminaryLaneBordersFromt_Values(h);
}

void LaneDetector::findPreliminaryLaneBordersFromt_Values(double halfWidth)
{
    findPeaksAndValleys();
    pairPeaksAndValleys(halfWidth);
}

// Strict local maxima and minima of T; plateaus give nothing. After a peak the
// next column may still be a valley.
void LaneDetector::findPeaksAndValleys()
{
    m_PeaksAndValleys.clear();
    const std::vector<double> &t = m_pProjection->GetTValues();
    const int w = int(t.size());
    int i = 1;
    while (i <= w - 2) {
        if (t[size_t(i)] > t[size_t(i - 1)] && t[size_t(i)] > t[size_t(i + 1)]) {
            m_PeaksAndValleys.push_back({i, t[size_t(i)], +1, 1});
            ++i;
        }
        if (i <= w - 2 && t[size_t(i)] < t[size_t(i - 1)] && t[size_t(i)] < t[size_t(i + 1)]) {
            m_PeaksAndValleys.push_back({i, t[size_t(i)], -1, 1});
            ++i;
        }
        ++i;
    }
}

// A peak (a lane begins) directly followed by a valley (it ends) at least 0.6
// half-widths away is a lane. Every adjacent pair is examined, the last one
// included: with the analysis area drawn closely around the lanes, the last two
// records are the rightmost lane's own borders.
void LaneDetector::pairPeaksAndValleys(double halfWidth)
{
    m_Lanes.RemoveAll();
    const int e = int(m_PeaksAndValleys.size());
    const double minimumWidth = 0.3 * (halfWidth + halfWidth);
    int j = 0;
    while (j < e - 1) {
        const peaksAndValleys &first = m_PeaksAndValleys[size_t(j)];
        const peaksAndValleys &second = m_PeaksAndValleys[size_t(j + 1)];
        if (first.kind == +1 && second.kind == -1
            && second.position - first.position >= minimumWidth) {
            m_Lanes.Add(HorizontalBoundary(first.position, second.position));
            j += 2;
        } else {
            j += 1;
        }
    }
    if (m_Lanes.IsEmpty())
        m_Lanes.Add(HorizontalBoundary(0, m_pProjection->GetWidth() - 1));
}
