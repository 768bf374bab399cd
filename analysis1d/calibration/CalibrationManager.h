#pragma once

// Calibration of one analysis: regression curves fitted to the bands whose
// true amount or molecular weight the user knows, applied to every band.
//
// Intensity calibration fits (band intensity, known amount) and maps every
// band's intensity to a calibrated intensity and its share of the lane's
// calibrated total (a true percentage, times 100). Molecular-weight
// calibration fits (centre-of-gravity row, known molecular weight) and maps
// every band's row to a calibrated molecular weight. The inputs (known values
// and their flags) and the outputs live in each band's BandData.
//
// The lane-taking overloads do the work on any lane array, so they run without
// a controller; the others use the owning analysis's lanes (none without one).

#include "platform/CArray.h"
#include "platform/CObject.h"

#include <QString>
#include <cstdint>
#include <memory>

class Analysis1D;
class CDoubleDataArray;
class Lane;
class MWManager;

class CalibrationManager : public CObject
{
    DECLARE_SERIAL(CalibrationManager)

public:
    // Curve types, the same coding for both calibrations, in documents and on
    // the calibration pages.
    enum CurveType : int {
        CurveNone = 0,
        CurveLinear = 1,
        CurveSecondOrder = 2,
        CurveThirdOrder = 3,
        CurveLogarithmic = 4,
    };

    CalibrationManager();
    explicit CalibrationManager(Analysis1D *pAnalysis);
    ~CalibrationManager() override;
    CalibrationManager(const CalibrationManager &) = delete;
    CalibrationManager &operator=(const CalibrationManager &) = delete;

    // Schema 0: the ladder manager as an object, int32 intensity curve type,
    // int32 molecular-weight curve type. A stored type outside 1-4 reads as 0.
    void Serialize(CArchive &ar) override;
    // The form of analysis versions 2 and 3: the existing ladder manager reads
    // itself in place, int32 intensity curve type (same check), five ignored
    // doubles.
    virtual void ReadOldVersion(CArchive &ar);

    // The owning analysis (not owned); passed on to the ladder manager.
    Analysis1D *GetAnalysis() const { return m_pAnalysis; }
    void SetAnalysis(Analysis1D *pAnalysis);

    int GetIntensityCurveType() const { return m_IntensityCurveType; }
    void SetIntensityCurveType(int type) { m_IntensityCurveType = type; }
    int GetMWCurveType() const { return m_MWCurveType; }
    void SetMWCurveType(int type) { m_MWCurveType = type; }

    MWManager *GetMWManager() const { return m_pMWManager.get(); }

    // Points ------------------------------------------------------------------
    // Clears x and y, then for every band (lanes and bands in order) with a
    // known amount: x = intensity, y = known amount.
    void GetIntensityCalibrationPoints(CDoubleDataArray &x, CDoubleDataArray &y) const;
    static void GetIntensityCalibrationPoints(const CArray<Lane> &lanes, CDoubleDataArray &x,
                                              CDoubleDataArray &y);
    // The same for known molecular weights: x = centre-of-gravity row.
    void GetMWCalibrationPoints(CDoubleDataArray &x, CDoubleDataArray &y) const;
    static void GetMWCalibrationPoints(const CArray<Lane> &lanes, CDoubleDataArray &x,
                                       CDoubleDataArray &y);

    // Fits ---------------------------------------------------------------------
    // Clears the coefficients; 0 for curve type 0 or too few points, else the
    // regression's result (coefficients from the constant term up, then r).
    int FitIntensityCurve(CDoubleDataArray &coefficients) const;
    int FitIntensityCurve(const CArray<Lane> &lanes, CDoubleDataArray &coefficients) const;
    int FitMWCurve(CDoubleDataArray &coefficients) const;
    int FitMWCurve(const CArray<Lane> &lanes, CDoubleDataArray &coefficients) const;

    // Calibration (run by the analysis at the end of every recalculation) ------
    void CalibrateIntensities();
    void CalibrateIntensities(CArray<Lane> &lanes) const;
    void CalibrateMolecularWeights();
    void CalibrateMolecularWeights(CArray<Lane> &lanes) const;

    // Curve helpers shared with the calibration pages --------------------------
    // Fewest points a curve type needs (0 for an unknown type).
    static int MinimumPoints(int curveType);
    // "Linear", "Second Order Polynomial", "Third Order Polynomial",
    // "Logarithmic"; empty for another type.
    static QString CurveLabel(int curveType);
    // The regression of a curve type; 0 for an unknown type.
    static int Fit(int curveType, const CDoubleDataArray &x, const CDoubleDataArray &y,
                   CDoubleDataArray &coefficients);
    // Fit with the checks of the fit operations: 0 (coefficients cleared) for
    // type 0, an unknown type or fewer points than the type needs.
    static int FitPoints(int curveType, const CDoubleDataArray &x, const CDoubleDataArray &y,
                         CDoubleDataArray &coefficients);
    // The fitted model at x (coefficients as Fit leaves them).
    static double Evaluate(int curveType, const CDoubleDataArray &coefficients, double x);

private:
    // The analysis's lanes, or null without an analysis.
    CArray<Lane> *lanes() const;
    static int checkedCurveType(int32_t stored);

    int m_IntensityCurveType = CurveLinear;
    int m_MWCurveType = CurveLinear;
    Analysis1D *m_pAnalysis = nullptr; // the owning analysis, not owned
    std::unique_ptr<MWManager> m_pMWManager;
};
