#include "contracts/overlay/CDrawRectangle.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDrawRectangle, CDrawObject, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kRectangleLayout = 1;

int screenWeight(int weight, float zoom)
{
    return std::max(1, int(std::floor(float(weight) * zoom + 0.5f)));
}

// Distance from p to the segment a-b.
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

CDrawRectangle::CDrawRectangle() = default;

CDrawRectangle::CDrawRectangle(const CRect &position, Shape shape)
    : CDrawObject(position), m_nShape(shape)
{ }

CDrawRectangle::CDrawRectangle(const CDrawRectangle &other)
    : CDrawObject(other), m_nShape(other.m_nShape)
{ }

CDrawRectangle::~CDrawRectangle() = default;

CDrawRectangle &CDrawRectangle::operator=(const CDrawRectangle &other)
{
    CDrawObject::operator=(other);
    m_nShape = other.m_nShape;
    return *this;
}

CDrawObject &CDrawRectangle::operator=(const CDrawObject &other)
{
    if (const auto *r = dynamic_cast<const CDrawRectangle *>(&other))
        return CDrawRectangle::operator=(*r);
    return CDrawObject::operator=(other);
}

bool CDrawRectangle::operator==(const CDrawObject &other) const
{
    const auto *r = dynamic_cast<const CDrawRectangle *>(&other);
    return r && r->GetRuntimeClass() == GetRuntimeClass() && r->m_nShape == m_nShape
        && CDrawObject::operator==(other);
}

// Stored rectangle part, after the CDrawObject part:
//   WORD  layout version, 1
//   WORD  shape: 0 rectangle, 1 rounded rectangle, 2 ellipse, 3 line
// Another layout version or an unknown shape is refused (badSchema).
void CDrawRectangle::Serialize(CArchive &ar)
{
    CDrawObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kRectangleLayout << uint16_t(m_nShape);
        return;
    }
    uint16_t layout = 0;
    uint16_t shape = 0;
    ar >> layout;
    if (layout != kRectangleLayout)
        throw CArchiveException(CArchiveException::badSchema);
    ar >> shape;
    if (shape > line)
        throw CArchiveException(CArchiveException::badSchema);
    m_nShape = Shape(shape);
}

void CDrawRectangle::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawShape(pDC, pView, m_position);
}

void CDrawRectangle::DrawShape(QPainter *pDC, CDrawView *pView, const CRect &rect)
{
    const float zoom = pView->GetZoomFactor();
    const bool outline = m_bLineEnabled && m_nLineWeight > 0;
    const int pw = outline ? screenWeight(m_nLineWeight, zoom) : 0;
    const QColor lineColor = toQColor(m_lineColor);
    pDC->save();
    if (m_nShape == line) {
        CPoint a = rect.TopLeft();
        CPoint b = rect.BottomRight();
        pView->Logical2Screen(a, false);
        pView->Logical2Screen(b, false);
        if (outline) {
            pDC->setPen(QPen(lineColor, pw, Qt::SolidLine, Qt::FlatCap));
            pDC->drawLine(a.toQPoint(), b.toQPoint());
        }
        pDC->restore();
        return;
    }

    CRect r = rect;
    r.NormalizeRect();
    pView->Logical2Screen(r, false);
    if (r.IsRectEmpty()) {
        pDC->restore();
        return;
    }
    const QRect q = r.toQRect();
    if (m_bFillEnabled && m_nTranslucent < 100) {
        QColor fill = toQColor(m_fillColor);
        fill.setAlpha(int(std::floor(255.0 * (100 - m_nTranslucent) / 100.0 + 0.5)));
        if (m_nShape == rectangle) {
            pDC->fillRect(q, fill);
        } else {
            pDC->setPen(Qt::NoPen);
            pDC->setBrush(fill);
            if (m_nShape == ellipse)
                pDC->drawEllipse(q);
            else
                pDC->drawRoundedRect(q, 15.0, 15.0, Qt::RelativeSize);
        }
    }
    if (outline) {
        if (m_nShape == rectangle || r.Width() <= 2 * pw || r.Height() <= 2 * pw) {
            // Four bands, so the outline covers exactly the pixels inside the rectangle.
            const int w = std::min(pw, r.Width());
            const int h = std::min(pw, r.Height());
            pDC->fillRect(QRect(r.left, r.top, r.Width(), h), lineColor);
            pDC->fillRect(QRect(r.left, r.bottom - h, r.Width(), h), lineColor);
            pDC->fillRect(QRect(r.left, r.top, w, r.Height()), lineColor);
            pDC->fillRect(QRect(r.right - w, r.top, w, r.Height()), lineColor);
        } else {
            const QRectF inner(r.left + pw / 2.0, r.top + pw / 2.0, r.Width() - pw,
                               r.Height() - pw);
            pDC->setPen(QPen(lineColor, pw));
            pDC->setBrush(Qt::NoBrush);
            if (m_nShape == ellipse)
                pDC->drawEllipse(inner);
            else
                pDC->drawRoundedRect(inner, 15.0, 15.0, Qt::RelativeSize);
        }
    }
    pDC->restore();
}

bool CDrawRectangle::ShapeContains(const CRect &rect, const CPoint &point) const
{
    const double tolerance = std::max(2.0, m_nLineWeight / 2.0 + 1.0);
    if (m_nShape == line)
        return segmentDistance(point, rect.TopLeft(), rect.BottomRight()) <= tolerance;
    CRect r = rect;
    r.NormalizeRect();
    r.InflateRect(r.Width() < 2 ? 2 : 0, r.Height() < 2 ? 2 : 0);
    if (!r.PtInRect(point))
        return false;
    if (m_nShape != ellipse)
        return true;
    const double a = r.Width() / 2.0 + tolerance;
    const double b = r.Height() / 2.0 + tolerance;
    const double dx = point.x + 0.5 - (r.left + r.right) / 2.0;
    const double dy = point.y + 0.5 - (r.top + r.bottom) / 2.0;
    return (dx * dx) / (a * a) + (dy * dy) / (b * b) <= 1.0;
}

int CDrawRectangle::HitTest(const CPoint &point, int bSelected, CDrawView *pView)
{
    if (bSelected)
        return CDrawObject::HitTest(point, bSelected, pView);
    return ShapeContains(m_position, point) ? 1 : 0;
}

CDrawObject *CDrawRectangle::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
