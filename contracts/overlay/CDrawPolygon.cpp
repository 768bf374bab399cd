#include "contracts/overlay/CDrawPolygon.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDrawPolygon, CDrawObject, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kPolygonLayout = 1;

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

double segmentDistance(CPoint p, CPoint a, CPoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}
} // namespace

CDrawPolygon::CDrawPolygon() = default;

CDrawPolygon::CDrawPolygon(const CRect &position) : CDrawObject(position) { }

CDrawPolygon::CDrawPolygon(const CDrawPolygon &other) : CDrawObject(other), m_points(other.m_points)
{ }

CDrawPolygon::~CDrawPolygon() = default;

CDrawPolygon &CDrawPolygon::operator=(const CDrawPolygon &other)
{
    CDrawObject::operator=(other);
    m_points = other.m_points;
    return *this;
}

CDrawObject &CDrawPolygon::operator=(const CDrawObject &other)
{
    if (const auto *p = dynamic_cast<const CDrawPolygon *>(&other))
        return CDrawPolygon::operator=(*p);
    return CDrawObject::operator=(other);
}

bool CDrawPolygon::operator==(const CDrawObject &other) const
{
    const auto *p = dynamic_cast<const CDrawPolygon *>(&other);
    return p && p->GetRuntimeClass() == GetRuntimeClass() && p->m_points == m_points
        && CDrawObject::operator==(other);
}

// Stored polygon part, after the CDrawObject part:
//   WORD   layout version, 1
//   count  number of points (archive count: WORD, or 0xFFFF and a DWORD)
//   points int32 x, int32 y each
// Another layout version is refused (badSchema); a count larger than the rest of
// the input raises endOfFile. The position is recomputed from the points.
void CDrawPolygon::Serialize(CArchive &ar)
{
    CDrawObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kPolygonLayout;
        ar.WriteCount(uint32_t(m_points.size()));
        for (const CPoint &p : m_points)
            ar << p;
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kPolygonLayout)
        throw CArchiveException(CArchiveException::badSchema);
    const uint32_t count = ar.ReadCount();
    ar.EnsureAvailable(qint64(count) * 8);
    std::vector<CPoint> points(count);
    for (CPoint &p : points)
        ar >> p;
    m_points = std::move(points);
    if (!m_points.empty())
        RecalcBounds(nullptr);
}

void CDrawPolygon::RecalcBounds(CDrawView *pView)
{
    if (m_points.empty())
        return;
    CRect bounds(m_points.front(), m_points.front());
    for (const CPoint &p : m_points) {
        bounds.left = std::min(bounds.left, p.x);
        bounds.right = std::max(bounds.right, p.x);
        bounds.top = std::min(bounds.top, p.y);
        bounds.bottom = std::max(bounds.bottom, p.y);
    }
    // The base move repaints old and new areas without touching the points.
    CDrawObject::MoveTo(bounds, pView);
}

void CDrawPolygon::MoveTo(const CRect &position, CDrawView *pView)
{
    if (position == m_position)
        return;
    const CRect old = m_position;
    for (CPoint &p : m_points) {
        if (position.Width() == old.Width())
            p.x += position.left - old.left;
        else
            p.x = old.Width() ? position.left
                    + roundHalfUp(double(p.x - old.left) * position.Width() / old.Width())
                              : position.left;
        if (position.Height() == old.Height())
            p.y += position.top - old.top;
        else
            p.y = old.Height() ? position.top
                    + roundHalfUp(double(p.y - old.top) * position.Height() / old.Height())
                               : position.top;
    }
    CDrawObject::MoveTo(position, pView);
}

int CDrawPolygon::GetHandleCount() const
{
    return int(m_points.size());
}

CPoint CDrawPolygon::GetHandleCoordinate(int nHandle) const
{
    if (nHandle < 1 || nHandle > int(m_points.size()))
        return m_position.CenterPoint();
    return m_points[size_t(nHandle - 1)];
}

Qt::CursorShape CDrawPolygon::GetHandleCursor(int) const
{
    return Qt::CrossCursor;
}

void CDrawPolygon::Draw(QPainter *pDC, CDrawView *pView)
{
    if (m_points.empty())
        return;
    QPolygon screen;
    for (CPoint p : m_points) {
        pView->Logical2Screen(p, false);
        screen << p.toQPoint();
    }
    pDC->save();
    if (m_bLineEnabled && m_nLineWeight > 0) {
        const int pw
            = std::max(1, int(std::floor(float(m_nLineWeight) * pView->GetZoomFactor() + 0.5f)));
        pDC->setPen(QPen(toQColor(m_lineColor), pw));
    } else {
        pDC->setPen(Qt::NoPen);
    }
    if (m_bFillEnabled && m_nTranslucent < 100) {
        QColor fill = toQColor(m_fillColor);
        fill.setAlpha(int(std::floor(255.0 * (100 - m_nTranslucent) / 100.0 + 0.5)));
        pDC->setBrush(fill);
    } else {
        pDC->setBrush(Qt::NoBrush);
    }
    pDC->drawPolygon(screen);
    pDC->restore();
}

void CDrawPolygon::Rotate(CPoint &centre, double angle)
{
    const double rad = angle * 3.14159265358979323846 / 180.0;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    Invalidate();
    for (CPoint &p : m_points) {
        const double dx = p.x - centre.x;
        const double dy = p.y - centre.y;
        p = CPoint(roundHalfUp(centre.x + dx * c - dy * s),
                   roundHalfUp(centre.y + dx * s + dy * c));
    }
    RecalcBounds(nullptr);
    Invalidate();
}

int CDrawPolygon::HitTest(const CPoint &point, int bSelected, CDrawView *pView)
{
    if (bSelected)
        return CDrawObject::HitTest(point, bSelected, pView);
    if (m_points.empty())
        return 0;
    const double tolerance = std::max(2.0, m_nLineWeight / 2.0 + 1.0);
    const size_t n = m_points.size();
    for (size_t i = 0; i < n; ++i) {
        if (segmentDistance(point, m_points[i], m_points[(i + 1) % n]) <= tolerance)
            return 1;
    }
    QPolygon polygon;
    for (const CPoint &p : m_points)
        polygon << p.toQPoint();
    return polygon.containsPoint(point.toQPoint(), Qt::OddEvenFill) ? 1 : 0;
}

void CDrawPolygon::MoveHandleTo(int nHandle, CPoint point, CDrawView *pView)
{
    if (nHandle < 1 || nHandle > int(m_points.size()))
        return;
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
    m_points[size_t(nHandle - 1)] = point;
    RecalcBounds(pView);
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
    if (m_pDocument)
        m_pDocument->SetModifiedFlag();
}

CDrawObject *CDrawPolygon::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

void CDrawPolygon::AddPoint(const CPoint &point, CDrawView *pView)
{
    m_points.push_back(point);
    RecalcBounds(pView);
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
}

void CDrawPolygon::RemoveLastPoint(CDrawView *pView)
{
    if (m_points.empty())
        return;
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
    m_points.pop_back();
    RecalcBounds(pView);
}
