#include "analysis1d/calibration/CalibrationQuality.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"

#include <algorithm>
#include <cmath>
#include <limits>

CalibrationQuality CalibrationQuality::Measure(const CArray<Lane> &lanes, int curveType, Kind kind)
{
    CalibrationQuality q;
    q.m_kind = kind;
    q.m_curveType = curveType;

    // The points exactly as the calibration collects them.
    CDoubleDataArray x;
    CDoubleDataArray y;
    if (kind == Kind::Intensity)
        CalibrationManager::GetIntensityCalibrationPoints(lanes, x, y);
    else
        CalibrationManager::GetMWCalibrationPoints(lanes, x, y);
    for (int l = 0; l < lanes.GetSize(); ++l) {
        const Lane &lane = lanes[l];
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            const BandData &d = *lane.GetBand(b).getData();
            if (kind == Kind::Intensity ? d.m_hasKnownIntensity : d.m_hasKnownMW) {
                KnownBand known;
                known.lane = l;
                known.band = b;
                q.m_known.push_back(known);
            }
        }
    }
    const int n = x.GetSize();
    for (int i = 0; i < n; ++i) {
        q.m_known[size_t(i)].x = x[i];
        q.m_known[size_t(i)].known = y[i];
    }
    if (n > 0) {
        const auto [lo, hi] = std::minmax_element(x.vector().begin(), x.vector().end());
        q.m_minX = *lo;
        q.m_maxX = *hi;
    }

    q.m_fitted = CalibrationManager::FitPoints(curveType, x, y, q.m_coefficients) != 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < n; ++i) {
        KnownBand &known = q.m_known[size_t(i)];
        known.fitted
            = q.m_fitted ? CalibrationManager::Evaluate(curveType, q.m_coefficients, known.x) : nan;
        CDoubleDataArray othersX;
        CDoubleDataArray othersY;
        for (int j = 0; j < n; ++j) {
            if (j != i) {
                othersX.Add(x[j]);
                othersY.Add(y[j]);
            }
        }
        CDoubleDataArray without;
        if (!CalibrationManager::FitPoints(curveType, othersX, othersY, without))
            continue;
        const double value = CalibrationManager::Evaluate(curveType, without, known.x);
        if (!std::isfinite(value))
            continue;
        known.hasLeaveOneOut = true;
        known.leaveOneOut = value;
        // Known values are positive (assignment takes only those).
        known.leaveOneOutErrorPercent = (value - known.known) / known.known * 100.0;
    }
    return q;
}

CalibrationQuality CalibrationQuality::Measure(const Analysis1D &analysis, Kind kind)
{
    const CalibrationManager *manager = analysis.GetCalibrationManager();
    const int type
        = kind == Kind::Intensity ? manager->GetIntensityCurveType() : manager->GetMWCurveType();
    return Measure(*analysis.GetLanes(), type, kind);
}

double CalibrationQuality::correlation() const
{
    const int count = m_coefficients.GetSize();
    return count > 0 ? m_coefficients[count - 1] : 0.0;
}

double CalibrationQuality::BandX(const BandData &data, Kind kind)
{
    return kind == Kind::Intensity ? data.m_intensity : double(data.m_centerOfGravity.y);
}

bool CalibrationQuality::isExtrapolated(double x) const
{
    return m_fitted && (x < m_minX || x > m_maxX);
}

int CalibrationQuality::worstKnownBand() const
{
    int worst = -1;
    for (size_t i = 0; i < m_known.size(); ++i) {
        if (!m_known[i].hasLeaveOneOut)
            continue;
        if (worst < 0
            || std::fabs(m_known[i].leaveOneOutErrorPercent)
                > std::fabs(m_known[size_t(worst)].leaveOneOutErrorPercent))
            worst = int(i);
    }
    return worst;
}

int CalibrationQuality::countExtrapolated(const CArray<Lane> &lanes) const
{
    int count = 0;
    for (const Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b)
            count += isExtrapolated(*lane.GetBand(b).getData()) ? 1 : 0;
    }
    return count;
}
