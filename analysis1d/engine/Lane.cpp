#include "analysis1d/engine/Lane.h"

#include "analysis1d/engine/AnalysisViewSeam.h"
#include "analysis1d/engine/BandsOptions.h"
#include "analysis1d/engine/LanesOptions.h"
#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"
#include "imaging/RasterImageGS16.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QFont>
#include <QFontMetrics>
#include <QIODevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

IMPLEMENT_SERIAL(Lane, AnalysisOverlay, VERSIONABLE_SCHEMA | 2)

namespace {

constexpr unsigned kLaneSchema = 2;
constexpr COLORREF kBandColor = RGB(0, 255, 0);

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

int32_t readCount(CArchive &ar, qint64 minimumBytesEach)
{
    int32_t count = 0;
    ar >> count;
    if (count < 0)
        throw CArchiveException(CArchiveException::badIndex);
    ar.EnsureAvailable(qint64(count) * minimumBytesEach);
    return count;
}

} // namespace

Lane::Lane()
{
    init();
}

Lane::Lane(const CRect &position, const CRect &bound, const CRect &analysisArea,
           const CIntDataArray &centerLine, const CIntDataArray &profile,
           const CIntDataArray &background)
    : AnalysisOverlay(position, bound, analysisArea), m_CenterLine(centerLine),
      m_Background(background), m_Profile(profile)
{
    init();
}

Lane::Lane(const Lane &other) : AnalysisOverlay(other)
{
    CopyLaneData(other);
}

Lane::~Lane() = default;

void Lane::init()
{
    m_lineColor = kLaneColor;
    m_bEditable = true;
}

Lane &Lane::operator=(const Lane &other)
{
    if (this == &other)
        return *this;
    AnalysisOverlay::operator=(other);
    CopyLaneData(other);
    return *this;
}

CDrawObject &Lane::operator=(const CDrawObject &other)
{
    if (const auto *lane = dynamic_cast<const Lane *>(&other))
        return Lane::operator=(*lane);
    return AnalysisOverlay::operator=(other);
}

// The Gaussians travel with the lane: the lane graph and the report read them
// from every copy the analysis keeps (the lane array holds copies, and a loaded
// lane is appended by copy).
void Lane::CopyLaneData(const Lane &other)
{
    if (this == &other)
        return;
    m_Bands.RemoveAll();
    for (const Band &band : other.m_Bands)
        m_Bands.Add(band);
    m_CenterLine = other.m_CenterLine;
    m_Background = other.m_Background;
    m_Profile = other.m_Profile;
    m_Gaussians = other.m_Gaussians;
    m_Reserved = other.m_Reserved;
}

// Stored form, schema 2:
//   AnalysisOverlay part
//   CIntDataArray  centre line, background, profile (int32 count + int32 values each)
//   int32          band count N, then N bands with WriteObject (class "Band")
//   int32          reserved value
//   Gaussians      see SerializeGaussians
// Schema 1 is read the same way; a lane serialised in place, with no schema,
// is schema 2. Another schema raises CArchiveException(badSchema) before
// anything is read: its layout is unknown, and reading on would only misread
// what follows. A band slot holding null or a reference to an object read
// before is refused (CArchiveException badClass / badIndex).
void Lane::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        AnalysisOverlay::Serialize(ar, int(kLaneSchema));
        m_CenterLine.Serialize(ar);
        m_Background.Serialize(ar);
        m_Profile.Serialize(ar);
        storeBands(ar);
        ar << int32_t(m_Reserved);
        SerializeGaussians(ar, m_Gaussians);
        return;
    }

    const unsigned schema = ar.GetObjectSchemaOr(kLaneSchema);
    if (schema != 1 && schema != 2)
        throw CArchiveException(CArchiveException::badSchema);
    AnalysisOverlay::Serialize(ar, int(schema));
    m_CenterLine.RemoveAll();
    m_Background.RemoveAll();
    m_Profile.RemoveAll();
    m_CenterLine.Serialize(ar);
    m_Background.Serialize(ar);
    m_Profile.Serialize(ar);
    loadBands(ar);
    int32_t reserved = 0;
    ar >> reserved;
    m_Reserved = reserved;
    SerializeGaussians(ar, m_Gaussians);
}

void Lane::storeBands(CArchive &ar) const
{
    ar << int32_t(m_Bands.GetSize());
    for (const Band &band : m_Bands)
        ar.WriteObject(&band);
}

void Lane::loadBands(CArchive &ar)
{
    // Every band takes at least its two-byte tag.
    const int32_t count = readCount(ar, 2);
    m_Bands.RemoveAll();
    for (int32_t i = 0; i < count; ++i) {
        // Bands are copied into the lane and the objects read destroyed.
        std::unique_ptr<Band> band = ar.ReadOwnedObject<Band>();
        if (!band)
            throw CArchiveException(CArchiveException::badClass);
        InsertBand(*band, int(i));
    }
}

// The oldest lane form (analyses of version 2): the overlay part, the three
// arrays, int32 band count N, N bands each as its overlay part and its record
// in their oldest forms (Band::ReadV2AndBelow), int32 reserved, the Gaussians.
void Lane::ReadOldVersion(CArchive &ar, int schema)
{
    AnalysisOverlay::Serialize(ar, schema);
    m_CenterLine.RemoveAll();
    m_Background.RemoveAll();
    m_Profile.RemoveAll();
    m_CenterLine.Serialize(ar);
    m_Background.Serialize(ar);
    m_Profile.Serialize(ar);
    // An old band is at least its overlay part, far more than two bytes.
    const int32_t count = readCount(ar, 2);
    m_Bands.RemoveAll();
    for (int32_t i = 0; i < count; ++i) {
        Band band;
        band.ReadV2AndBelow(ar);
        m_Bands.Add(band);
    }
    int32_t reserved = 0;
    ar >> reserved;
    m_Reserved = reserved;
    SerializeGaussians(ar, m_Gaussians);
}

// The classic array form of the Gaussians (CGaussian itself stores nothing):
//   count   archive count encoding (WORD, or WORD 0xFFFF + DWORD)
//   per Gaussian: int32 amplitude, int32 centre, int32 width
// Loading replaces the array; a count beyond the remaining input raises
// CArchiveException(endOfFile) before anything is allocated.
void Lane::SerializeGaussians(CArchive &ar, CGaussianArray &gaussians)
{
    if (ar.IsStoring()) {
        ar.WriteCount(uint32_t(gaussians.GetSize()));
        for (const CGaussian &g : gaussians)
            ar << int32_t(g.GetAmplitude()) << int32_t(g.GetCenter()) << int32_t(g.GetWidth());
        return;
    }
    const uint32_t count = ar.ReadCount();
    ar.EnsureAvailable(qint64(count) * 12);
    CGaussianArray loaded;
    loaded.vector().reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        int32_t amplitude = 0;
        int32_t center = 0;
        int32_t width = 0;
        ar >> amplitude >> center >> width;
        loaded.Add(CGaussian(amplitude, center, width));
    }
    gaussians = loaded;
}

CDrawObject *Lane::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

void Lane::CalculateBandsData(RasterImageGS16 *image, int wellY, int dyeFrontY)
{
    std::vector<BandData *> records;
    records.reserve(size_t(m_Bands.GetSize()));
    for (Band &band : m_Bands) {
        band.CalculateData(image, &m_Background, &m_Profile, wellY, dyeFrontY);
        records.push_back(band.getData());
    }
    BandData::setLaneFractions(records);
}

void Lane::AddBand(int index, int bandHeight, RasterImageGS16 *image, int contour, int x, int y)
{
    const CRect rect(m_position.left, roundHalfUp(y - bandHeight / 2.0), m_position.right,
                     roundHalfUp(y + bandHeight / 2.0));
    Band band(rect, rect, m_analysisArea);
    band.getData()->m_centerOfGravity = CPoint(x, y);
    band.getData()->m_valid = true;
    band.m_lineColor = kBandColor;
    band.m_fillColor = kBandColor;
    band.m_pDocument = m_pDocument;

    // The room the band may take: a little wider and taller than drawn, but
    // clear of its neighbours.
    CRect area = rect;
    area.InflateRect(roundHalfUp(0.05 * rect.Width()), roundHalfUp(0.2 * rect.Height()));
    const int count = m_Bands.GetSize();
    const Band *above = nullptr;
    const Band *below = nullptr;
    int insertAt = 0;
    if (count >= 2) {
        if (index < 0 || index > count)
            throw CInvalidArgException("Lane::AddBand: band index out of range");
        above = index > 0 ? &m_Bands[index - 1] : nullptr;
        below = index < count ? &m_Bands[index] : nullptr;
        insertAt = index;
    } else if (count == 1) {
        // With one band every index but 0 means after it.
        if (index == 0) {
            below = &m_Bands[0];
        } else {
            above = &m_Bands[0];
            insertAt = 1;
        }
    }
    if (above && area.top < above->m_position.bottom)
        area.top = above->m_position.bottom + 1;
    if (below && area.bottom > below->m_position.top)
        area.bottom = below->m_position.top - 1;
    band.m_position = area;

    band.FindBroundryPoints(image, contour, 1, 1, 1, 0);
    InsertBand(band, insertAt);
    setBandBoundaries();
}

// Inserting past the end would fill the gap with copies of the band.
void Lane::InsertBand(const Band &band, int index)
{
    if (index < 0 || index > m_Bands.GetSize())
        throw CInvalidArgException("Lane::InsertBand: band index out of range");
    m_Bands.InsertAt(index, band);
}

void Lane::RemoveBand(int index)
{
    m_Bands.RemoveAt(index);
}

void Lane::setBandBoundaries()
{
    const int count = m_Bands.GetSize();
    if (count == 0)
        return;
    if (count == 1) {
        m_Bands[0].SetBoundRect(m_bound);
        return;
    }
    for (int i = 0; i < count; ++i) {
        CRect bound;
        bound.left = m_bound.left;
        bound.right = m_bound.right;
        bound.top = i == 0 ? m_bound.top : m_Bands[i - 1].m_position.bottom;
        bound.bottom = i == count - 1 ? m_bound.bottom : m_Bands[i + 1].m_position.top;
        m_Bands[i].SetBoundRect(bound);
    }
}

int Lane::GetBandIndexForAddition(int x, int y)
{
    const int count = m_Bands.GetSize();
    if (count == 0)
        return 0;
    CPoint point(x, y);
    for (Band &band : m_Bands) {
        if (band.HitTest(point, 0))
            return -1;
    }
    Logical2Analysis(point);
    if (count == 1)
        return point.y > m_Bands[0].m_position.bottom ? 1 : 0;
    if (point.y < m_Bands[0].m_position.top)
        return 0;
    if (point.y > m_Bands[count - 1].m_position.bottom)
        return count;
    for (int i = 0; i + 1 < count; ++i) {
        if (m_Bands[i].m_position.bottom < point.y && point.y < m_Bands[i + 1].m_position.top)
            return i + 1;
    }
    return -1;
}

void Lane::Draw(QPainter *pDC, CDrawView *pView, int laneIndex, const LanesOptions *laneOptions,
                BandsOptions *bandOptions)
{
    const LanesOptions defaultLanes;
    BandsOptions defaultBands;
    if (!laneOptions)
        laneOptions = &defaultLanes;
    if (!bandOptions)
        bandOptions = &defaultBands;

    const CRect logical = GetLogicalPosition();
    if (laneOptions->m_Show)
        DrawShape(pDC, pView, logical);

    if (laneOptions->m_Show_Number) {
        // The number sits just inside the top of the lane, centred on it, so it
        // stays clear of the analysis area's label above the area.
        CRect r = logical;
        r.NormalizeRect();
        CPoint anchor((r.left + r.right) / 2, r.top);
        pView->Logical2Screen(anchor, false);
        const QString text = QString::asprintf("%d", laneIndex + 1);
        pDC->save();
        QFont font = pDC->font();
        font.setPixelSize(std::max(1, m_nTextScreenHeight));
        pDC->setFont(font);
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(text);
        pDC->setPen(toQColor(m_lineColor));
        pDC->drawText(QRect(anchor.x - width / 2, anchor.y + 2, width, metrics.height()),
                      Qt::AlignLeft | Qt::AlignTop, text);
        pDC->restore();
    }

    for (int i = 0; i < m_Bands.GetSize(); ++i)
        m_Bands[i].Draw(pDC, pView, i, bandOptions);
}

void Lane::GetInfoLines(QStringList &lines) const
{
    FillInPositionInfo(lines);
}

void Lane::OnEditProperties(CDrawView *pView)
{
    QStringList lines;
    GetInfoLines(lines);
    AnalysisDialogSeams::ShowList(AnalysisDialogSeams::ParentOf(pView), QStringLiteral("Lane info"),
                                  lines);
}
