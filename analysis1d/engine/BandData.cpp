#include "analysis1d/engine/BandData.h"

#include "analysis1d/engine/WindingSpans.h"
#include "platform/CArchive.h"
#include "util/StringUtil.h"

#include <QPolygon>
#include <QRegion>

#include <cmath>

IMPLEMENT_SERIAL(BandData, CObject, VERSIONABLE_SCHEMA | 3)

namespace {

constexpr unsigned kCurrentSchema = 3;

QString line(const char *label, const QString &value)
{
    return QLatin1String(label) + QLatin1Char('|') + value;
}

QString grouped(double value, short decimals)
{
    return StringUtil::FloatFormatString(value, 1, decimals);
}

void appendPoints(QPolygon &polygon, const CPointArray &points)
{
    for (const CPoint &p : points)
        polygon.append(p.toQPoint());
}

} // namespace

BandData::BandData() = default;

BandData::BandData(const BandData &other) = default;

BandData &BandData::operator=(const BandData &other) = default;

BandData::~BandData() = default;

void BandData::serializeHead(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar << m_centerOfGravity << m_detectedRect << int32_t(m_intensityClass)
           << int32_t(m_centerValue) << m_peakWidth << m_gaussianFit << m_valid;
    } else {
        int32_t intensityClass = 0;
        int32_t centerValue = 0;
        ar >> m_centerOfGravity >> m_detectedRect >> intensityClass >> centerValue >> m_peakWidth
            >> m_gaussianFit >> m_valid;
        m_intensityClass = intensityClass;
        m_centerValue = centerValue;
    }
}

void BandData::readOldBody(CArchive &ar)
{
    ar >> m_peakAmplitude >> m_lowerEdgeHeight >> m_upperEdgeHeight >> m_peakArea
        >> m_peakAreaFraction >> m_intensity;
    ar >> m_calibratedIntensity >> m_calibratedIntensityPercentage >> m_calibratedMW;
    // A flag and a value these forms carried that no analysis uses any more.
    uint8_t ignoredFlag = 0;
    double ignoredValue = 0.0;
    ar >> ignoredFlag >> ignoredValue;
    ar >> m_relativeMigration;
    // int32 count and raw points: the point list's own stored form.
    m_topBoundary.Serialize(ar);
}

// Schema 3 (written and read):
//   CPoint centre of gravity, CRect detected rectangle, int32 intensity class,
//   int32 centre value, double peak width, double Gaussian fit, u8 valid,
//   6 doubles: peak amplitude, lower edge, upper edge, peak area,
//              peak-area fraction, intensity,
//   4 doubles: calibrated intensity, calibrated intensity %, calibrated MW,
//              relative migration,
//   int32 surface area, double intensity per surface area,
//   double intensity fraction, u8 has known MW, u8 has known intensity,
//   double known MW, double known intensity,
//   top, bottom, left, right boundaries (each int32 count + raw points).
// Schema 2 (read only): the head; 6 doubles; calibrated intensity, %, MW;
//   u8 and double (ignored); relative migration; int32 count + points into the
//   top boundary; int32 surface area; double intensity per surface area;
//   double intensity fraction.
// Schema 1 (read only): schema 2 without the final intensity fraction.
// A record is read into a fresh copy and taken over only when complete, so a
// damaged archive leaves this record as it was.
void BandData::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        serializeHead(ar);
        ar << m_peakAmplitude << m_lowerEdgeHeight << m_upperEdgeHeight << m_peakArea
           << m_peakAreaFraction << m_intensity;
        ar << m_calibratedIntensity << m_calibratedIntensityPercentage << m_calibratedMW
           << m_relativeMigration;
        ar << int32_t(m_surfaceArea) << m_intensityPerSurfaceArea << m_intensityFraction;
        ar << m_hasKnownMW << m_hasKnownIntensity << m_knownMW << m_knownIntensity;
        m_topBoundary.Serialize(ar);
        m_bottomBoundary.Serialize(ar);
        m_leftBoundary.Serialize(ar);
        m_rightBoundary.Serialize(ar);
        return;
    }

    // Read in place, outside an object tag: the current form.
    const unsigned schema = ar.GetObjectSchemaOr(kCurrentSchema);

    BandData read;
    read.serializeHead(ar);
    int32_t surfaceArea = 0;
    switch (schema) {
    case 3:
        ar >> read.m_peakAmplitude >> read.m_lowerEdgeHeight >> read.m_upperEdgeHeight
            >> read.m_peakArea >> read.m_peakAreaFraction >> read.m_intensity;
        ar >> read.m_calibratedIntensity >> read.m_calibratedIntensityPercentage
            >> read.m_calibratedMW >> read.m_relativeMigration;
        ar >> surfaceArea >> read.m_intensityPerSurfaceArea >> read.m_intensityFraction;
        ar >> read.m_hasKnownMW >> read.m_hasKnownIntensity >> read.m_knownMW
            >> read.m_knownIntensity;
        read.m_topBoundary.Serialize(ar);
        read.m_bottomBoundary.Serialize(ar);
        read.m_leftBoundary.Serialize(ar);
        read.m_rightBoundary.Serialize(ar);
        break;
    case 2:
    case 1:
        read.readOldBody(ar);
        ar >> surfaceArea >> read.m_intensityPerSurfaceArea;
        if (schema == 2)
            ar >> read.m_intensityFraction;
        break;
    default:
        // Nothing of an unknown form can be read without losing our place in
        // the archive; say so here rather than fail later on misread bytes.
        throw CArchiveException(CArchiveException::badSchema);
    }
    read.m_surfaceArea = surfaceArea;
    *this = read;
}

void BandData::ReadV2AndBelow(CArchive &ar)
{
    BandData read;
    read.serializeHead(ar);
    read.readOldBody(ar);
    *this = read;
}

void BandData::fillInInfo(QStringList &lines) const
{
    lines.append(line("Center of Gravity", QStringLiteral("xy=(%1,%2)")
                                               .arg(m_centerOfGravity.x)
                                               .arg(m_centerOfGravity.y)));
    lines.append(line("Peak Amplitude (z)", grouped(m_peakAmplitude, 0)));
    lines.append(line("Baseline (z)", grouped(getAverageBaseLine(), 0)));
    lines.append(line("Peak Area (z)", grouped(m_peakArea, 2)));
    lines.append(line("Percentage Peak Area", grouped(m_peakAreaFraction, 2)));
    lines.append(line("Intensity (z)", grouped(m_intensity, 2)));
    lines.append(line("Percentage Intensity in a lane", grouped(m_intensityFraction, 2)));
    lines.append(line("Known intensity", grouped(m_knownIntensity, 2)));
    lines.append(line("Calibrated intensity", grouped(m_calibratedIntensity, 2)));
    lines.append(line("Known Molecular Weight", grouped(m_knownMW, 2)));
    lines.append(line("Calibrated Molecular Weight", grouped(m_calibratedMW, 2)));
    lines.append(line("SurfaceArea (xy)", grouped(double(m_surfaceArea), 2)));
    lines.append(line("Intensity/SurfaceArea", grouped(m_intensityPerSurfaceArea, 2)));
    lines.append(line("Relative migration", grouped(m_relativeMigration, 2)));
}

double BandData::getAverageBaseLine() const
{
    return (m_lowerEdgeHeight + m_upperEdgeHeight) * 0.5;
}

bool BandData::getRegion(QRegion *rgn) const
{
    QPolygon polygon;
    appendPoints(polygon, m_leftBoundary);
    appendPoints(polygon, m_topBoundary);
    appendPoints(polygon, m_rightBoundary);
    appendPoints(polygon, m_bottomBoundary);
    if (polygon.size() < 3) {
        *rgn = QRegion();
        return false;
    }
    *rgn = QRegion(polygon, Qt::WindingFill);
    return true;
}

bool BandData::getRecRegion(CRect *rect) const
{
    // The runs hold what the region holds, without building the region.
    const WindingSpans spans = WindingSpans::fromContour(m_leftBoundary, m_topBoundary,
                                                         m_rightBoundary, m_bottomBoundary);
    if (spans.isEmpty()) {
        rect->SetRectEmpty();
        return false;
    }
    *rect = spans.boundingRect();
    return true;
}

void BandData::getPerimeterPoints(CPointArray &points) const
{
    points.RemoveAll();
    points.Append(m_leftBoundary);
    points.Append(m_topBoundary);
    points.Append(m_rightBoundary);
    points.Append(m_bottomBoundary);
}

double BandData::laneFraction(double value, double total)
{
    if (total == 0.0 || !std::isfinite(total))
        return 0.0;
    return value / total;
}

void BandData::setLaneFractions(const std::vector<BandData *> &laneBands)
{
    double totalArea = 0.0;
    double totalIntensity = 0.0;
    for (const BandData *band : laneBands) {
        totalArea += band->m_peakArea;
        totalIntensity += band->m_intensity;
    }
    for (BandData *band : laneBands) {
        band->m_peakAreaFraction = laneFraction(band->m_peakArea, totalArea);
        band->m_intensityFraction = laneFraction(band->m_intensity, totalIntensity);
    }
}
