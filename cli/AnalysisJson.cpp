#include "cli/AnalysisJson.h"

#include "analysis1d/calibration/CalibrationManager.h"
#include "analysis1d/calibration/CalibrationQuality.h"
#include "analysis1d/engine/Analysis1D.h"
#include "analysis1d/engine/Analysis1DDoc.h"
#include "analysis1d/engine/AnalysisArea.h"
#include "imaging/TVFImage.h"

#include <QJsonArray>
#include <QJsonValue>

#include <cmath>

namespace {

QJsonValue pathValue(const QString &path)
{
    return path.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(path);
}

// JSON has no NaN or infinity; a quantity that could not be computed is null.
QJsonValue number(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonValue known(bool has, double value)
{
    return has ? number(value) : QJsonValue(QJsonValue::Null);
}

QJsonObject bandObject(const Band &band, int number1)
{
    const BandData &d = *band.getData();
    const CRect rect = band.m_position;
    QJsonObject o;
    o[QStringLiteral("number")] = number1;
    o[QStringLiteral("position")] = d.m_centerOfGravity.y;
    o[QStringLiteral("top")] = std::min(rect.top, rect.bottom);
    o[QStringLiteral("bottom")] = std::max(rect.top, rect.bottom);
    o[QStringLiteral("centreX")] = d.m_centerOfGravity.x;
    o[QStringLiteral("peakAmplitude")] = number(d.m_peakAmplitude);
    o[QStringLiteral("baseline")] = number(d.getAverageBaseLine());
    o[QStringLiteral("peakArea")] = number(d.m_peakArea);
    o[QStringLiteral("peakAreaFraction")] = number(d.m_peakAreaFraction);
    o[QStringLiteral("intensity")] = number(d.m_intensity);
    o[QStringLiteral("intensityFraction")] = number(d.m_intensityFraction);
    o[QStringLiteral("surfaceArea")] = d.m_surfaceArea;
    o[QStringLiteral("relativeMigration")] = number(d.m_relativeMigration);
    o[QStringLiteral("intensityClass")] = d.m_intensityClass;
    o[QStringLiteral("peakWidth")] = number(d.m_peakWidth);
    o[QStringLiteral("gaussianFit")] = number(d.m_gaussianFit);
    o[QStringLiteral("knownMW")] = known(d.m_hasKnownMW, d.m_knownMW);
    o[QStringLiteral("calibratedMW")] = number(d.m_calibratedMW);
    o[QStringLiteral("knownIntensity")] = known(d.m_hasKnownIntensity, d.m_knownIntensity);
    o[QStringLiteral("calibratedIntensity")] = number(d.m_calibratedIntensity);
    o[QStringLiteral("saturated_pixels")] = d.m_saturatedPixels;
    return o;
}

QJsonObject laneBandObject(int lane, int band)
{
    QJsonObject o;
    o[QStringLiteral("lane")] = lane + 1;
    o[QStringLiteral("band")] = band + 1;
    return o;
}

// One calibration: its curve over all known bands, each known band's
// leave-one-out value and error, and the bands read outside the known range.
QJsonObject calibrationObject(const Analysis1D &analysis, CalibrationQuality::Kind kind)
{
    const CalibrationQuality q = CalibrationQuality::Measure(analysis, kind);
    QJsonObject o;
    const QString label = CalibrationManager::CurveLabel(q.curveType());
    o[QStringLiteral("curve")] = label.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(label);
    o[QStringLiteral("fitted")] = q.isFitted();
    QJsonArray coefficients;
    if (q.isFitted()) {
        // The last element of the fit is r, reported on its own.
        for (int i = 0; i + 1 < q.coefficients().GetSize(); ++i)
            coefficients.append(number(q.coefficients()[i]));
    }
    o[QStringLiteral("coefficients")] = coefficients;
    o[QStringLiteral("correlation")]
        = q.isFitted() ? number(q.correlation()) : QJsonValue(QJsonValue::Null);
    if (q.knownBands().empty()) {
        o[QStringLiteral("known_range")] = QJsonValue(QJsonValue::Null);
    } else {
        QJsonObject range;
        range[QStringLiteral("min")] = number(q.minimumX());
        range[QStringLiteral("max")] = number(q.maximumX());
        o[QStringLiteral("known_range")] = range;
    }
    QJsonArray known;
    QJsonArray errors;
    for (const CalibrationQuality::KnownBand &k : q.knownBands()) {
        QJsonObject b = laneBandObject(k.lane, k.band);
        b[QStringLiteral("x")] = number(k.x);
        b[QStringLiteral("known")] = number(k.known);
        b[QStringLiteral("fitted")] = number(k.fitted);
        const QJsonValue none(QJsonValue::Null);
        b[QStringLiteral("loo")] = k.hasLeaveOneOut ? number(k.leaveOneOut) : none;
        const QJsonValue error = k.hasLeaveOneOut ? number(k.leaveOneOutErrorPercent) : none;
        b[QStringLiteral("loo_error_percent")] = error;
        known.append(b);
        errors.append(error);
    }
    o[QStringLiteral("known_bands")] = known;
    o[QStringLiteral("loo_error_percent")] = errors;
    QJsonArray extrapolated;
    for (int l = 0; l < analysis.GetNumberOfLanes(); ++l) {
        const Lane &lane = analysis.GetLane(l);
        for (int b = 0; b < lane.GetNumberOfBands(); ++b) {
            if (q.isExtrapolated(*lane.GetBand(b).getData()))
                extrapolated.append(laneBandObject(l, b));
        }
    }
    o[QStringLiteral("extrapolated")] = extrapolated;
    return o;
}

} // namespace

QJsonObject AnalysisJson::Build(const Analysis1DDoc &doc, const QString &imagePath,
                                const QString &documentPath)
{
    QJsonObject root;
    QJsonObject image;
    image[QStringLiteral("path")] = pathValue(imagePath);
    if (const TVFImage *picture = doc.GetImage()) {
        image[QStringLiteral("width")] = int(picture->getWidth());
        image[QStringLiteral("height")] = int(picture->getHeight());
        image[QStringLiteral("bitDepth")] = int(picture->getBitsPerPixel());
    }
    root[QStringLiteral("image")] = image;
    root[QStringLiteral("document")] = pathValue(documentPath);

    if (const AnalysisArea *area = doc.GetAnalysisArea()) {
        CRect r = area->m_position;
        r.NormalizeRect();
        QJsonObject a;
        a[QStringLiteral("x")] = r.left;
        a[QStringLiteral("y")] = r.top;
        a[QStringLiteral("width")] = r.Width();
        a[QStringLiteral("height")] = r.Height();
        root[QStringLiteral("analysisArea")] = a;
    } else {
        root[QStringLiteral("analysisArea")] = QJsonValue(QJsonValue::Null);
    }

    const Analysis1D *analysis = doc.GetAnalysis();
    QJsonArray lanes;
    if (analysis) {
        root[QStringLiteral("threshold")] = number(analysis->GetPeakHeightThreshold());
        root[QStringLiteral("wellsRow")] = analysis->getWellCenterY();
        root[QStringLiteral("dyeFrontRow")] = analysis->getDyeFrontCenterY();
        root[QStringLiteral("saturated_bands")] = analysis->CountSaturatedBands();
        QJsonObject calibration;
        calibration[QStringLiteral("mw")]
            = calibrationObject(*analysis, CalibrationQuality::Kind::MolecularWeight);
        calibration[QStringLiteral("amount")]
            = calibrationObject(*analysis, CalibrationQuality::Kind::Intensity);
        root[QStringLiteral("calibration")] = calibration;
        for (int i = 0; i < analysis->GetNumberOfLanes(); ++i) {
            const Lane &lane = analysis->GetLane(i);
            QJsonObject l;
            l[QStringLiteral("number")] = i + 1;
            l[QStringLiteral("left")] = std::min(lane.m_position.left, lane.m_position.right);
            l[QStringLiteral("right")] = std::max(lane.m_position.left, lane.m_position.right);
            QJsonArray bands;
            for (int b = 0; b < lane.GetNumberOfBands(); ++b)
                bands.append(bandObject(lane.GetBand(b), b + 1));
            l[QStringLiteral("bands")] = bands;
            lanes.append(l);
        }
    }
    root[QStringLiteral("lanes")] = lanes;
    return root;
}
