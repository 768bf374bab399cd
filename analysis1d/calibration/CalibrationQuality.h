#pragma once

// How far one calibration (amounts or molecular weights) can be trusted, for
// the curve type chosen: the fit over all known bands with its correlation,
// and for every known band its leave-one-out value, the curve fitted without
// that band and read at it, with the error of that value against the known
// one in percent. A marker that was assigned the wrong weight, or a band
// whose amount was mistyped, stands out there where the correlation of the
// whole fit hides it.
//
// A band's calibrated value is extrapolated when the curve was read outside
// the span of the known bands' measured quantities (migration rows for
// weights, intensities for amounts): a weight read above the ladder's top
// marker, say. Within the span the curve interpolates between known values.
//
// Computed on demand from the lanes; nothing here is stored.

#include "data/CDoubleDataArray.h"
#include "platform/CArray.h"

#include <vector>

class Analysis1D;
class BandData;
class Lane;

class CalibrationQuality
{
public:
    enum class Kind {
        Intensity, // x = band intensity, y = known amount
        MolecularWeight, // x = centre-of-gravity row, y = known weight
    };

    // One band with a known value, in the order the calibration collects them.
    struct KnownBand
    {
        int lane = 0; // 0-based lane index
        int band = 0; // 0-based band index in the lane
        double x = 0.0; // measured quantity the curve is read at
        double known = 0.0; // the value the user assigned
        double fitted = 0.0; // the curve of all known bands at x (NaN without a fit)
        bool hasLeaveOneOut = false; // the others were enough for a curve of the type
        double leaveOneOut = 0.0; // the curve of the others at x
        double leaveOneOutErrorPercent = 0.0; // (leaveOneOut - known) / known x 100
    };

    CalibrationQuality() = default;
    // The quality of one calibration of these lanes with this curve type
    // (CalibrationManager coding).
    static CalibrationQuality Measure(const CArray<Lane> &lanes, int curveType, Kind kind);
    // The same with the analysis's lanes and its manager's curve type.
    static CalibrationQuality Measure(const Analysis1D &analysis, Kind kind);

    Kind kind() const { return m_kind; }
    int curveType() const { return m_curveType; }
    // A curve could be fitted to all known bands (enough of them for the type).
    bool isFitted() const { return m_fitted; }
    // Coefficients from the constant term up, then r, as the calibration fits them.
    const CDoubleDataArray &coefficients() const { return m_coefficients; }
    double correlation() const;
    const std::vector<KnownBand> &knownBands() const { return m_known; }
    // Span of the known bands' x; meaningful when there is at least one.
    double minimumX() const { return m_minX; }
    double maximumX() const { return m_maxX; }

    // The quantity of a band this calibration reads the curve at.
    static double BandX(const BandData &data, Kind kind);
    // True when a curve is fitted and x lies outside the known span.
    bool isExtrapolated(double x) const;
    bool isExtrapolated(const BandData &data) const { return isExtrapolated(BandX(data, m_kind)); }
    // Index into knownBands() of the largest absolute leave-one-out error, or
    // -1 when no band has one.
    int worstKnownBand() const;
    // Bands of all lanes whose calibrated value is extrapolated.
    int countExtrapolated(const CArray<Lane> &lanes) const;

private:
    Kind m_kind = Kind::MolecularWeight;
    int m_curveType = 0;
    bool m_fitted = false;
    CDoubleDataArray m_coefficients;
    std::vector<KnownBand> m_known;
    double m_minX = 0.0;
    double m_maxX = 0.0;
};
