#include "analysis1d/calibration/CalibrationManager.h"

#include "analysis1d/calibration/MWManager.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Lane.h"
#include "data/CDoubleDataArray.h"
#include "numerics/MathTVR.h"
#include "platform/CArchive.h"

IMPLEMENT_SERIAL(CalibrationManager, CObject, VERSIONABLE_SCHEMA | 0)

CalibrationManager::CalibrationManager() : m_pMWManager(std::make_unique<MWManager>()) { }

CalibrationManager::CalibrationManager(Analysis1D *pAnalysis)
    : m_pAnalysis(pAnalysis), m_pMWManager(std::make_unique<MWManager>(pAnalysis))
{ }

CalibrationManager::~CalibrationManager() = default;

void CalibrationManager::SetAnalysis(Analysis1D *pAnalysis)
{
    m_pAnalysis = pAnalysis;
    m_pMWManager->SetAnalysis(pAnalysis);
}

CArray<Lane> *CalibrationManager::lanes() const
{
    return m_pAnalysis ? m_pAnalysis->GetLanes() : nullptr;
}

int CalibrationManager::checkedCurveType(int32_t stored)
{
    return stored >= CurveLinear && stored <= CurveLogarithmic ? int(stored) : CurveNone;
}

void CalibrationManager::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar.WriteObject(m_pMWManager.get());
        ar << int32_t(m_IntensityCurveType) << int32_t(m_MWCurveType);
        return;
    }
    std::unique_ptr<MWManager> manager = ar.ReadOwnedObject<MWManager>();
    int32_t intensityType = 0;
    int32_t mwType = 0;
    ar >> intensityType >> mwType;
    // The manager always has a ladder manager, even when a damaged file held none.
    if (!manager)
        manager = std::make_unique<MWManager>();
    manager->SetAnalysis(m_pAnalysis);
    m_pMWManager = std::move(manager);
    m_IntensityCurveType = checkedCurveType(intensityType);
    m_MWCurveType = checkedCurveType(mwType);
}

void CalibrationManager::ReadOldVersion(CArchive &ar)
{
    m_pMWManager->ReadOldVersion(ar);
    int32_t intensityType = 0;
    ar >> intensityType;
    // Parameters of a calibration model these versions kept; nothing uses them.
    for (int i = 0; i < 5; ++i) {
        double ignored = 0.0;
        ar >> ignored;
    }
    m_IntensityCurveType = checkedCurveType(intensityType);
}

// Points ---------------------------------------------------------------------------

void CalibrationManager::GetIntensityCalibrationPoints(CDoubleDataArray &x,
                                                       CDoubleDataArray &y) const
{
    if (const CArray<Lane> *l = lanes()) {
        GetIntensityCalibrationPoints(*l, x, y);
    } else {
        x.RemoveAll();
        y.RemoveAll();
    }
}

void CalibrationManager::GetIntensityCalibrationPoints(const CArray<Lane> &lanes,
                                                       CDoubleDataArray &x, CDoubleDataArray &y)
{
    x.RemoveAll();
    y.RemoveAll();
    for (const Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            const BandData *data = lane.GetBand(b).getData();
            if (data->m_hasKnownIntensity) {
                x.Add(data->m_intensity);
                y.Add(data->m_knownIntensity);
            }
        }
    }
}

void CalibrationManager::GetMWCalibrationPoints(CDoubleDataArray &x, CDoubleDataArray &y) const
{
    if (const CArray<Lane> *l = lanes()) {
        GetMWCalibrationPoints(*l, x, y);
    } else {
        x.RemoveAll();
        y.RemoveAll();
    }
}

void CalibrationManager::GetMWCalibrationPoints(const CArray<Lane> &lanes, CDoubleDataArray &x,
                                                CDoubleDataArray &y)
{
    x.RemoveAll();
    y.RemoveAll();
    for (const Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            const BandData *data = lane.GetBand(b).getData();
            if (data->m_hasKnownMW) {
                // The absolute row in analysis coordinates, not the relative migration.
                x.Add(double(data->m_centerOfGravity.y));
                y.Add(data->m_knownMW);
            }
        }
    }
}

// Fits -----------------------------------------------------------------------------

int CalibrationManager::MinimumPoints(int curveType)
{
    switch (curveType) {
    case CurveLinear:
    case CurveLogarithmic:
        return 2;
    case CurveSecondOrder:
        return 3;
    case CurveThirdOrder:
        return 4;
    default:
        return 0;
    }
}

QString CalibrationManager::CurveLabel(int curveType)
{
    switch (curveType) {
    case CurveLinear:
        return QStringLiteral("Linear");
    case CurveSecondOrder:
        return QStringLiteral("Second Order Polynomial");
    case CurveThirdOrder:
        return QStringLiteral("Third Order Polynomial");
    case CurveLogarithmic:
        return QStringLiteral("Logarithmic");
    default:
        return QString();
    }
}

int CalibrationManager::Fit(int curveType, const CDoubleDataArray &x, const CDoubleDataArray &y,
                            CDoubleDataArray &coefficients)
{
    switch (curveType) {
    case CurveLinear:
        return MathTVR::LinearRegression(x, y, coefficients);
    case CurveSecondOrder:
        return MathTVR::SecondOrderRegression(x, y, coefficients);
    case CurveThirdOrder:
        return MathTVR::ThirdOrderRegression(x, y, coefficients);
    case CurveLogarithmic:
        return MathTVR::LogarithmicRegression(x, y, coefficients);
    default:
        coefficients.RemoveAll();
        return 0;
    }
}

double CalibrationManager::Evaluate(int curveType, const CDoubleDataArray &c, double x)
{
    switch (curveType) {
    case CurveLinear:
        return MathTVR::EvaluateLinearModel(x, c[0], c[1]);
    case CurveSecondOrder:
        return MathTVR::EvaluateSecondOrderModel(x, c[0], c[1], c[2]);
    case CurveThirdOrder:
        return MathTVR::EvaluateThirdOrderModel(x, c[0], c[1], c[2], c[3]);
    case CurveLogarithmic:
        return MathTVR::EvaluateLogarithmicModel(x, c[0], c[1]);
    default:
        throw CInvalidArgException("CalibrationManager::Evaluate: unknown curve type");
    }
}

int CalibrationManager::FitPoints(int curveType, const CDoubleDataArray &x,
                                  const CDoubleDataArray &y, CDoubleDataArray &coefficients)
{
    coefficients.RemoveAll();
    if (curveType == CalibrationManager::CurveNone)
        return 0;
    const int minimum = CalibrationManager::MinimumPoints(curveType);
    if (minimum == 0 || y.GetSize() < minimum)
        return 0;
    return CalibrationManager::Fit(curveType, x, y, coefficients);
}

int CalibrationManager::FitIntensityCurve(CDoubleDataArray &coefficients) const
{
    static const CArray<Lane> noLanes;
    const CArray<Lane> *l = lanes();
    return FitIntensityCurve(l ? *l : noLanes, coefficients);
}

int CalibrationManager::FitIntensityCurve(const CArray<Lane> &lanes,
                                          CDoubleDataArray &coefficients) const
{
    coefficients.RemoveAll();
    if (m_IntensityCurveType == CurveNone)
        return 0;
    CDoubleDataArray x;
    CDoubleDataArray y;
    GetIntensityCalibrationPoints(lanes, x, y);
    return FitPoints(m_IntensityCurveType, x, y, coefficients);
}

int CalibrationManager::FitMWCurve(CDoubleDataArray &coefficients) const
{
    static const CArray<Lane> noLanes;
    const CArray<Lane> *l = lanes();
    return FitMWCurve(l ? *l : noLanes, coefficients);
}

int CalibrationManager::FitMWCurve(const CArray<Lane> &lanes,
                                   CDoubleDataArray &coefficients) const
{
    coefficients.RemoveAll();
    if (m_MWCurveType == CurveNone)
        return 0;
    CDoubleDataArray x;
    CDoubleDataArray y;
    GetMWCalibrationPoints(lanes, x, y);
    return FitPoints(m_MWCurveType, x, y, coefficients);
}

// Calibration ----------------------------------------------------------------------

void CalibrationManager::CalibrateIntensities()
{
    if (CArray<Lane> *l = lanes())
        CalibrateIntensities(*l);
}

void CalibrationManager::CalibrateIntensities(CArray<Lane> &lanes) const
{
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            BandData *data = lane.GetBand(b).getData();
            data->m_calibratedIntensity = 0.0;
            data->m_calibratedIntensityPercentage = 0.0;
        }
    }
    if (m_IntensityCurveType == CurveNone)
        return;
    CDoubleDataArray coefficients;
    if (!FitIntensityCurve(lanes, coefficients))
        return; // the cleared values stand

    // Every band is calibrated, known amount or not; each lane's share is of
    // that lane's own calibrated total.
    for (Lane &lane : lanes) {
        double total = 0.0;
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            BandData *data = lane.GetBand(b).getData();
            data->m_calibratedIntensity =
                Evaluate(m_IntensityCurveType, coefficients, data->m_intensity);
            total += data->m_calibratedIntensity;
        }
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            BandData *data = lane.GetBand(b).getData();
            // A lane whose bands calibrate to a zero total has no shares to give:
            // the percentages stay 0 rather than becoming 0/0.
            data->m_calibratedIntensityPercentage =
                total == 0.0 ? 0.0
                             : MathTVR::RoundToTwoDecimals(data->m_calibratedIntensity * 100.0
                                                           / total);
        }
    }
}

void CalibrationManager::CalibrateMolecularWeights()
{
    if (CArray<Lane> *l = lanes())
        CalibrateMolecularWeights(*l);
}

void CalibrationManager::CalibrateMolecularWeights(CArray<Lane> &lanes) const
{
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b)
            lane.GetBand(b).getData()->m_calibratedMW = 0.0;
    }
    if (m_MWCurveType == CurveNone)
        return;
    CDoubleDataArray coefficients;
    if (!FitMWCurve(lanes, coefficients))
        return;
    for (Lane &lane : lanes) {
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            BandData *data = lane.GetBand(b).getData();
            data->m_calibratedMW =
                Evaluate(m_MWCurveType, coefficients, double(data->m_centerOfGravity.y));
        }
    }
}
