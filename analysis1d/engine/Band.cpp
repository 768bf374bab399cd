#include "analysis1d/engine/Band.h"

#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/engine/BandsOptions.h"
#include "analysis1d/engine/ExtremeMeans.h"
#include "analysis1d/engine/UserDrawnBand.h"
#include "analysis1d/engine/WindingSpans.h"
#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"
#include "data/CIntDataArray.h"
#include "imaging/ImageProcessing.h"
#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"
#include "util/StringUtil.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

IMPLEMENT_SERIAL(Band, AnalysisOverlay, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr unsigned kCurrentSchema = 2;
constexpr COLORREF kBandGreen = RGB(0, 255, 0);

bool rowInImage(const RasterImageGS16 *image, int y)
{
    return y >= 0 && y < image->getHeight();
}

bool columnInImage(const RasterImageGS16 *image, int x)
{
    return x >= 0 && x < image->getWidth();
}

// The rectangle with left/top at least 0 and right/bottom at most the last
// column/row; the edges stay inclusive.
CRect clipInclusive(const RasterImageGS16 *image, CRect r)
{
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, image->getWidth() - 1);
    r.bottom = std::min(r.bottom, image->getHeight() - 1);
    return r;
}

// The column threshold and the walk of one column from its outer edge
// towards the band's middle: how many values, from the first, stay at or
// below min + (max - min) * fraction.
int countBelowColumnThreshold(const std::vector<int> &values, float fraction)
{
    if (values.empty())
        return 0;
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    const float scaled = float(*hi - *lo) * fraction;
    const int limit = *lo + int(std::floor(double(scaled) + 0.5));
    int count = 0;
    while (count < int(values.size()) && values[size_t(count)] <= limit)
        ++count;
    return count;
}

} // namespace

Band::Band() { setDefaultColors(); }

Band::Band(const Band &other) : AnalysisOverlay(other), m_data(other.m_data) { }

Band::Band(const CRect &position, const CRect &bound, const CRect &analysisArea)
    : AnalysisOverlay(position, bound, analysisArea)
{
    setDefaultColors();
}

Band::Band(const BandData &data, const CRect &analysisArea)
    : AnalysisOverlay(data.m_detectedRect, data.m_detectedRect, analysisArea), m_data(data)
{
    setDefaultColors();
}

// The drawn band is bounded by the analysis area, so its bound (in gel
// pixels) is the analysis area this band converts with.
Band::Band(const UserDrawnBand &drawn)
    : AnalysisOverlay(drawn.GetPosition(), drawn.GetBoundRect(), drawn.GetBoundRect())
{
    setDefaultColors();
    Logical2Analysis(m_position);
    Logical2Analysis(m_bound);
    m_data.m_centerOfGravity
        = CPoint((m_position.left + m_position.right) / 2, (m_position.top + m_position.bottom) / 2);
    m_data.m_valid = true;
}

Band::~Band() = default;

void Band::setDefaultColors()
{
    m_lineColor = kBandGreen;
    m_fillColor = kBandGreen;
}

Band &Band::operator=(const Band &other)
{
    AnalysisOverlay::operator=(other);
    m_data = other.m_data;
    return *this;
}

CDrawObject &Band::operator=(const CDrawObject &other)
{
    if (const auto *band = dynamic_cast<const Band *>(&other))
        return Band::operator=(*band);
    return AnalysisOverlay::operator=(other);
}

void Band::copy(const Band &other) { m_data = other.m_data; }

// Schema 2: the overlay part, then the record with WriteObject (class tag,
// schema 3). Schemas 1 and 2 read the same way; another schema raises
// CArchiveException(badSchema) at once instead of misreading what follows.
void Band::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        AnalysisOverlay::Serialize(ar, int(kCurrentSchema));
        ar.WriteObject(&m_data);
        return;
    }
    const unsigned schema = ar.GetObjectSchemaOr(kCurrentSchema);
    if (schema != 1 && schema != 2)
        throw CArchiveException(CArchiveException::badSchema);
    AnalysisOverlay::Serialize(ar, int(schema));
    // A band always stores its record; a null in its place is damage.
    const std::unique_ptr<BandData> data = ar.ReadOwnedObject<BandData>();
    if (!data)
        throw CArchiveException(CArchiveException::badClass);
    m_data = *data;
}

void Band::ReadV2AndBelow(CArchive &ar)
{
    AnalysisOverlay::Serialize(ar, 0);
    m_data.ReadV2AndBelow(ar);
}

CDrawObject *Band::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

void Band::OnEditProperties(CDrawView *pView)
{
    QStringList lines;
    m_data.fillInInfo(lines);
    AnalysisDialogSeams::ShowList(AnalysisDialogSeams::ParentOf(pView), QStringLiteral("Band info"),
                                  lines);
}

void Band::CalculateData(RasterImageGS16 *image, CIntDataArray *background,
                         CIntDataArray *profile, int wellY, int dyeFrontY)
{
    const CRect r = m_position;
    BandData &d = m_data;

    // The profiles' own index checks refuse rows outside the lane.
    // The local baseline is kept in single precision, as measured bands always were.
    const float baseline
        = float((double(background->GetAt(r.top)) + double(background->GetAt(r.bottom))) * 0.5);

    // Weighted by what rises above the baseline: on a high background the raw
    // values would put the centre near the rectangle's middle, off the band
    // when the rectangle reaches far past it.
    d.m_centerOfGravity = ImageProcessing::findCenterOfMassAbove(image, r, double(baseline));
    const CPoint centre = d.m_centerOfGravity;

    d.m_lowerEdgeHeight = double(profile->GetAt(r.bottom) - background->GetAt(r.bottom));
    d.m_upperEdgeHeight = double(profile->GetAt(r.top) - background->GetAt(r.top));

    if (!columnInImage(image, centre.x) || !rowInImage(image, centre.y))
        throw CInvalidArgException("Band::CalculateData: centre outside the image");
    d.m_centerValue = image->getPixel(centre);

    d.m_peakAmplitude = double(d.m_centerValue) - double(baseline);
    // Counted for every band, also one too faint to measure below.
    CountSaturatedPixels(image);

    if (r.bottom < r.top || d.m_peakAmplitude < 0.0) {
        d.m_peakArea = 0.0;
        d.m_intensity = 0.0;
        return;
    }

    // Raw values of the centre column; the baseline stays in.
    double area = 0.0;
    for (int y = r.top; y <= r.bottom; ++y) {
        if (!rowInImage(image, y))
            throw CInvalidArgException("Band::CalculateData: band row outside the image");
        area += image->getPixel(centre.x, y);
    }
    d.m_peakArea = area;

    CalculateVolume(image, double(baseline));

    // Without a distance between wells and dye front there is no migration to
    // relate to; 0 stands in for the quotient's infinity.
    const double span = double(dyeFrontY) - double(wellY);
    d.m_relativeMigration = span != 0.0 ? double(centre.y) / span : 0.0;
    d.m_calibratedMW = std::exp(d.m_relativeMigration);
}

template<typename Visit>
void Band::forEachRegionRun(const RasterImageGS16 *image, Visit &&visit) const
{
    const BandData &d = m_data;
    // Pixels beyond the image have no value.
    const CRect r = clipInclusive(image, m_position);
    // The contour's pixels row by row, as its winding-fill region holds them;
    // without a contour (fewer than three points) the whole rectangle counts.
    const bool haveRegion = d.m_leftBoundary.GetSize() + d.m_topBoundary.GetSize()
            + d.m_rightBoundary.GetSize() + d.m_bottomBoundary.GetSize()
        >= 3;
    if (!haveRegion) {
        for (int y = r.top; y <= r.bottom; ++y)
            visit(y, r.left, r.right);
        return;
    }
    const WindingSpans spans = WindingSpans::fromContour(d.m_leftBoundary, d.m_topBoundary,
                                                         d.m_rightBoundary, d.m_bottomBoundary);
    for (int y = r.top; y <= r.bottom; ++y) {
        for (const WindingSpans::Span *s = spans.rowBegin(y); s != spans.rowEnd(y); ++s)
            visit(y, std::max(s->left, r.left), std::min(s->right - 1, r.right));
    }
}

void Band::CalculateVolume(RasterImageGS16 *image, double baseline)
{
    BandData &d = m_data;
    d.m_surfaceArea = 0;
    d.m_intensity = 0.0;
    d.m_intensityPerSurfaceArea = 0.0;

    // The sum runs in the same order as a scan of the rectangle would.
    double intensity = 0.0;
    int surface = 0;
    const int width = image->getWidth();
    const int *pixels = image->getPixels();
    forEachRegionRun(image, [&](int y, int first, int last) {
        const int *row = pixels + size_t(y) * size_t(width);
        for (int x = first; x <= last; ++x)
            intensity += double(row[x]) - baseline;
        surface += std::max(0, last - first + 1);
    });
    d.m_intensity = intensity;
    d.m_surfaceArea = surface;
    if (surface > 0)
        d.m_intensityPerSurfaceArea = intensity / double(surface);
}

void Band::CountSaturatedPixels(const RasterImageGS16 *image)
{
    int count = 0;
    // Only grey pictures of 8 or 16 bits carry measured values; rasters of
    // any other kind hold zeros.
    const int depth = image->getBPP();
    const int largest = image->getMaxPixelValue();
    const int width = image->getWidth();
    const int *pixels = image->getPixels();
    if (pixels && (depth == 8 || depth == 16)) {
        forEachRegionRun(image, [&](int y, int first, int last) {
            const int *row = pixels + size_t(y) * size_t(width);
            for (int x = first; x <= last; ++x)
                count += row[x] >= largest ? 1 : 0;
        });
    }
    m_data.m_saturatedPixels = count;
}

void Band::FindBroundryPoints(RasterImageGS16 *image, int percentage, int doTop, int doBottom,
                              int fitVertical, int fitHorizontal)
{
    const CRect r = clipInclusive(image, m_position);
    if (r.right - r.left < 5 || r.bottom - r.top < 4)
        return;

    CIntDataArray values;
    image->getPixelsFor(r, &values);
    if (values.GetSize() < 10)
        return;
    // The means of the six darkest and six brightest values of the rectangle.
    const ExtremeMeans extremes(values.vector(), 6);
    const int low = extremes.low();
    const int high = extremes.high();

    const float fraction = float(percentage) / 100.0f;
    const float scaled = float(high - low) * fraction;
    const int threshold = low + int(std::floor(double(scaled) + 0.5));

    const CPoint centre = m_data.m_centerOfGravity;
    FindLeftRightBroundryPoints(image, r, centre, float(threshold), &m_data.m_leftBoundary,
                                &m_data.m_rightBoundary);
    const CRect between(m_data.m_leftBoundary[0].x, r.top, m_data.m_rightBoundary[0].x, r.bottom);
    if (doTop)
        FindTopBroundryPoints(image, between, centre, fraction, &m_data.m_topBoundary);
    if (doBottom)
        FindBottomBroundryPoints(image, between, centre, fraction, &m_data.m_bottomBoundary);

    if (!fitVertical && !fitHorizontal)
        return;
    CRect box;
    // A contour that encloses nothing gives no box to fit to.
    if (!m_data.getRecRegion(&box))
        return;
    box.NormalizeRect();
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, image->getWidth());
    box.bottom = std::min(box.bottom, image->getHeight());
    if (fitVertical) {
        m_position.top = box.top;
        m_position.bottom = box.bottom;
    }
    if (fitHorizontal) {
        m_position.left = box.left;
        m_position.right = box.right;
    }
}

void Band::FindLeftRightBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint centre,
                                       float threshold, CPointArray *left, CPointArray *right)
{
    const int y = centre.y;
    if (!rowInImage(image, y))
        throw CInvalidArgException("Band::FindLeftRightBroundryPoints: centre row outside the image");
    const int first = std::max(rect.left, 0);
    const int last = std::min(rect.right, image->getWidth() - 1);

    // From the left edge towards the centre column (not reaching it).
    int leftX = rect.left;
    for (int x = first; x < centre.x && x <= last; ++x) {
        if (float(image->getPixel(x, y)) > threshold) {
            leftX = x;
            break;
        }
    }
    // From the right edge towards the centre, stopping two columns short of it.
    int rightX = rect.right;
    for (int x = last; x > centre.x + 1 && x >= first; --x) {
        if (float(image->getPixel(x, y)) > threshold) {
            rightX = x;
            break;
        }
    }
    left->RemoveAll();
    left->Add(CPoint(leftX, y));
    right->RemoveAll();
    right->Add(CPoint(rightX, y));
}

void Band::FindTopBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint /*centre*/,
                                 float fraction, CPointArray *out)
{
    out->RemoveAll();
    const int middle = (rect.top + rect.bottom) / 2;
    std::vector<int> column;
    for (int x = rect.left + 1; x <= rect.right - 1; ++x) {
        if (!columnInImage(image, x))
            throw CInvalidArgException("Band::FindTopBroundryPoints: column outside the image");
        column.clear();
        for (int y = rect.top; y < middle; ++y) {
            if (!rowInImage(image, y))
                throw CInvalidArgException("Band::FindTopBroundryPoints: row outside the image");
            column.push_back(image->getPixel(x, y));
        }
        out->Add(CPoint(x, rect.top + countBelowColumnThreshold(column, fraction)));
    }
    out->smoothenYvalues(1);
}

void Band::FindBottomBroundryPoints(RasterImageGS16 *image, CRect rect, CPoint /*centre*/,
                                    float fraction, CPointArray *out)
{
    out->RemoveAll();
    const int middle = (rect.top + rect.bottom) / 2;
    std::vector<int> column;
    for (int x = rect.left + 1; x <= rect.right - 1; ++x) {
        if (!columnInImage(image, x))
            throw CInvalidArgException("Band::FindBottomBroundryPoints: column outside the image");
        column.clear();
        for (int y = rect.bottom; y > middle + 1; --y) {
            if (!rowInImage(image, y))
                throw CInvalidArgException("Band::FindBottomBroundryPoints: row outside the image");
            column.push_back(image->getPixel(x, y));
        }
        out->Add(CPoint(x, rect.bottom - countBelowColumnThreshold(column, fraction)));
    }
    // Right to left, so left, top, right, bottom make one closed outline.
    out->reverseOrder();
    out->smoothenYvalues(1);
}

void Band::Draw(QPainter *pDC, CDrawView *pView, int bandIndex, BandsOptions *options)
{
    const BandsOptions defaults;
    const BandsOptions &opt = options ? *options : defaults;
    const QColor green = toQColor(kBandGreen);

    if (opt.m_Show_Bracket)
        DrawShape(pDC, pView, GetLogicalPosition());

    pDC->save();
    if (opt.m_Show_Boundary_Contour) {
        CPointArray perimeter;
        m_data.getPerimeterPoints(perimeter);
        if (perimeter.GetSize() > 1) {
            QPolygon polygon;
            for (CPoint p : perimeter) {
                Analysis2Logical(p);
                pView->Logical2Screen(p, false);
                polygon.append(p.toQPoint());
            }
            pDC->setPen(QPen(green, 1));
            pDC->setBrush(Qt::NoBrush);
            pDC->drawPolygon(polygon);
        }
    }

    CPoint centre = m_data.m_centerOfGravity;
    Analysis2Logical(centre);
    CPoint screenCentre = centre;
    pView->Logical2Screen(screenCentre, false);
    pDC->fillRect(QRect(screenCentre.x - 1, screenCentre.y - 1, 3, 3), green);
    pDC->restore();

    if (!opt.m_Show_Number)
        return;
    DrawText(pDC, pView, QString::number(bandIndex + 1), centre);

    if (!m_data.m_hasKnownMW && !m_data.m_hasKnownIntensity)
        return;
    QStringList known;
    if (m_data.m_hasKnownMW)
        known.append(QStringLiteral("MW: ") + StringUtil::FloatFormatString(m_data.m_knownMW, 1, 2));
    if (m_data.m_hasKnownIntensity)
        known.append(QStringLiteral("Amount: ")
                     + StringUtil::FloatFormatString(m_data.m_knownIntensity, 1, 2));

    // An 8-point font on whatever device is painted, screen or printer.
    const int dpiY = pDC->device() ? pDC->device()->logicalDpiY() : 96;
    QFont font = pDC->font();
    font.setPixelSize(std::max(1, int(std::floor(8.0 * dpiY / 72.0 + 0.5))));
    const QFontMetrics metrics(font);
    CPoint at(GetLogicalPosition().right, GetLogicalPosition().top);
    pView->Logical2Screen(at, false);
    pDC->save();
    pDC->setFont(font);
    pDC->setPen(toQColor(m_lineColor));
    int y = at.y;
    for (const QString &text : known) {
        pDC->drawText(QPoint(at.x + 3, y + metrics.ascent()), text);
        y += metrics.height();
    }
    pDC->restore();
}
