#include "contracts/overlay/CDrawObject.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/CArchive.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CDrawObject, CObject, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kObjectLayout = 1;
// Weights beyond this are damage, not a choice anybody made; they would make
// painting crawl.
constexpr int kMaxLineWeight = 1000;

int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}
} // namespace

CDrawObject::CDrawObject() = default;

CDrawObject::CDrawObject(const CRect &position) : m_position(position) { }

CDrawObject::CDrawObject(const CDrawObject &other)
    : CObject(other), m_pDocument(other.m_pDocument), m_position(other.m_position),
      m_bLineEnabled(other.m_bLineEnabled), m_nLineWeight(other.m_nLineWeight),
      m_lineColor(other.m_lineColor), m_bFillEnabled(other.m_bFillEnabled),
      m_fillColor(other.m_fillColor), m_nTranslucent(other.m_nTranslucent),
      m_nTextTransparent(other.m_nTextTransparent), m_nTextHeight(other.m_nTextHeight),
      m_nTextScreenHeight(other.m_nTextScreenHeight), m_nTextZooms(other.m_nTextZooms)
{ }

CDrawObject::~CDrawObject() = default;

CDrawObject &CDrawObject::operator=(const CDrawObject &other)
{
    if (this == &other)
        return *this;
    m_pDocument = other.m_pDocument;
    m_position = other.m_position;
    m_bLineEnabled = other.m_bLineEnabled;
    m_nLineWeight = other.m_nLineWeight;
    m_lineColor = other.m_lineColor;
    m_bFillEnabled = other.m_bFillEnabled;
    m_fillColor = other.m_fillColor;
    m_nTranslucent = other.m_nTranslucent;
    m_nTextTransparent = other.m_nTextTransparent;
    m_nTextHeight = other.m_nTextHeight;
    m_nTextScreenHeight = other.m_nTextScreenHeight;
    m_nTextZooms = other.m_nTextZooms;
    return *this;
}

bool CDrawObject::operator==(const CDrawObject &other) const
{
    return m_position == other.m_position && m_bLineEnabled == other.m_bLineEnabled
        && m_nLineWeight == other.m_nLineWeight && m_lineColor == other.m_lineColor
        && m_bFillEnabled == other.m_bFillEnabled && m_fillColor == other.m_fillColor
        && m_nTranslucent == other.m_nTranslucent;
}

bool CDrawObject::operator!=(const CDrawObject &other) const
{
    return !(*this == other);
}

// Stored base part of every drawing object (written first by each derived class):
//   WORD   layout version, 1
//   CRect  position (int32 left, top, right, bottom)
//   BYTE   line enabled (0/1)
//   int32  line weight
//   DWORD  line colour (0x00BBGGRR)
//   BYTE   fill enabled (0/1)
//   DWORD  fill colour
//   int32  translucency in percent
// 36 bytes. Another layout version is refused (badSchema). The document pointer
// and the label attributes are not stored: the document and the constructors set them.
void CDrawObject::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar << kObjectLayout << m_position << m_bLineEnabled << int32_t(m_nLineWeight)
           << uint32_t(m_lineColor) << m_bFillEnabled << uint32_t(m_fillColor)
           << int32_t(m_nTranslucent);
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kObjectLayout)
        throw CArchiveException(CArchiveException::badSchema);
    int32_t weight = 0;
    uint32_t lineColor = 0;
    uint32_t fillColor = 0;
    int32_t translucent = 0;
    ar >> m_position >> m_bLineEnabled >> weight >> lineColor >> m_bFillEnabled >> fillColor
        >> translucent;
    m_nLineWeight = std::clamp(int(weight), 0, kMaxLineWeight);
    m_lineColor = lineColor & 0x00FFFFFFu;
    m_fillColor = fillColor & 0x00FFFFFFu;
    m_nTranslucent = std::clamp(int(translucent), 0, 100);
    if (ar.m_pDocument)
        m_pDocument = dynamic_cast<CDrawDocument *>(ar.m_pDocument);
}

void CDrawObject::MoveTo(const CRect &position, CDrawView *pView)
{
    if (position == m_position)
        return;
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
    m_position = position;
    if (pView)
        pView->InvalObject(this);
    else
        Invalidate();
    if (m_pDocument)
        m_pDocument->SetModifiedFlag();
}

int CDrawObject::GetHandleCount() const
{
    return 8;
}

CPoint CDrawObject::GetHandleCoordinate(int nHandle) const
{
    return RectHandle(m_position, nHandle);
}

CRect CDrawObject::GetHandleRect(int nHandle, CDrawView *pView) const
{
    const CPoint c = GetHandleCoordinate(nHandle);
    const float zoom = ZoomOf(pView);
    const int half = std::max(1, int(std::floor(float(c_nHandleSize / 2) / zoom + 0.5f)));
    return CRect(c.x - half, c.y - half, c.x + half + 1, c.y + half + 1);
}

Qt::CursorShape CDrawObject::GetHandleCursor(int nHandle) const
{
    switch (nHandle) {
    case 1:
    case 5:
        return Qt::SizeFDiagCursor;
    case 3:
    case 7:
        return Qt::SizeBDiagCursor;
    case 2:
    case 6:
        return Qt::SizeVerCursor;
    case 4:
    case 8:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void CDrawObject::SetLineColor(COLORREF color, bool bInvalidate)
{
    m_lineColor = color & 0x00FFFFFFu;
    if (bInvalidate)
        Invalidate();
}

void CDrawObject::SetFillColor(COLORREF color, bool bInvalidate)
{
    m_fillColor = color & 0x00FFFFFFu;
    if (bInvalidate)
        Invalidate();
}

void CDrawObject::SetTranslucent(int nPercent, bool bInvalidate)
{
    m_nTranslucent = std::clamp(nPercent, 0, 100);
    if (bInvalidate)
        Invalidate();
}

bool CDrawObject::CanBeSelected() const
{
    return true;
}

void CDrawObject::Draw(QPainter *, CDrawView *) { }

void CDrawObject::DrawSolidRect(QPainter *pDC, CDrawView *pView, const CRect &rect, COLORREF color)
{
    CRect r = rect;
    r.NormalizeRect();
    pView->Logical2Screen(r, false);
    pDC->fillRect(r.toQRect(), toQColor(color));
}

void CDrawObject::Rotate(CPoint &centre, double angle)
{
    const double rad = angle * 3.14159265358979323846 / 180.0;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    const CPoint corners[4]
        = {m_position.TopLeft(), CPoint(m_position.right, m_position.top), m_position.BottomRight(),
           CPoint(m_position.left, m_position.bottom)};
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const double dx = corners[i].x - centre.x;
        const double dy = corners[i].y - centre.y;
        const int x = roundHalfUp(centre.x + dx * c - dy * s);
        const int y = roundHalfUp(centre.y + dx * s + dy * c);
        if (i == 0 || x < minX)
            minX = x;
        if (i == 0 || x > maxX)
            maxX = x;
        if (i == 0 || y < minY)
            minY = y;
        if (i == 0 || y > maxY)
            maxY = y;
    }
    MoveTo(CRect(minX, minY, maxX, maxY), nullptr);
}

void CDrawObject::FillInPositionInfo(QStringList &lines) const
{
    CRect r = m_position;
    r.NormalizeRect();
    lines << QStringLiteral("Left: %1").arg(r.left) << QStringLiteral("Top: %1").arg(r.top)
          << QStringLiteral("Right: %1").arg(r.right) << QStringLiteral("Bottom: %1").arg(r.bottom)
          << QStringLiteral("Width: %1").arg(r.Width())
          << QStringLiteral("Height: %1").arg(r.Height());
}

void CDrawObject::Offset(int dx, int dy)
{
    CRect r = m_position;
    r.OffsetRect(dx, dy);
    MoveTo(r, nullptr);
}

void CDrawObject::DrawTracker(QPainter *pDC, CDrawView *pView)
{
    DrawHandles(pDC, pView, CPoint());
}

void CDrawObject::MoveDelta(CPoint delta, CDrawView *pView)
{
    MoveTo(m_position + delta, pView);
}

int CDrawObject::HitTest(const CPoint &point, int bSelected, CDrawView *pView)
{
    if (bSelected) {
        const int count = GetHandleCount();
        for (int n = 1; n <= count; ++n) {
            if (GetHandleRect(n, pView).PtInRect(point))
                return n;
        }
        return 0;
    }
    CRect r = m_position;
    r.NormalizeRect();
    // Hair-thin objects get a little width so they can be picked at all.
    r.InflateRect(r.Width() < 2 ? 2 : 0, r.Height() < 2 ? 2 : 0);
    return r.PtInRect(point) ? 1 : 0;
}

namespace {
// A normalised rectangle at least one unit wide and high, so lines and points
// still meet others.
CRect solid(CRect r)
{
    r.NormalizeRect();
    r.right = std::max(r.right, r.left + 1);
    r.bottom = std::max(r.bottom, r.top + 1);
    return r;
}
} // namespace

bool CDrawObject::Intersects(CRect &rect)
{
    CRect meet;
    return meet.IntersectRect(solid(m_position), solid(rect));
}

bool CDrawObject::IsInside(CRect &rect)
{
    CRect outer = rect;
    outer.NormalizeRect();
    CRect r = m_position;
    r.NormalizeRect();
    return r.left >= outer.left && r.right <= outer.right && r.top >= outer.top
        && r.bottom <= outer.bottom;
}

void CDrawObject::MoveHandleTo(int nHandle, CPoint point, CDrawView *pView)
{
    MoveTo(MoveRectHandle(m_position, nHandle, point), pView);
}

void CDrawObject::OnOpen(CDrawView *) { }

void CDrawObject::OnEditProperties(CDrawView *) { }

void CDrawObject::AddPropertyPages(QWidget *) { }

void CDrawObject::DeletePropertyPages() { }

CDrawObject *CDrawObject::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

CDrawObject *CDrawObject::AddClone(CDrawObject *pClone, CDrawDocument *pDoc)
{
    if (pDoc)
        pDoc->Add(pClone, false);
    return pClone;
}

void CDrawObject::Remove()
{
    if (m_pDocument)
        m_pDocument->Remove(this);
    delete this;
}

bool CDrawObject::LoadPopupMenu(CDrawView *, CPoint)
{
    return false;
}

CRect CDrawObject::GetAreaToBeRepainted(CDrawView *pView) const
{
    CRect r = m_position;
    r.NormalizeRect();
    const int m = GetTrackerMargin(pView);
    r.InflateRect(m, m);
    return r;
}

void CDrawObject::DrawText(QPainter *pDC, CDrawView *pView, const QString &text, CPoint point)
{
    CPoint p = point;
    pView->Logical2Screen(p, false);
    QFont font = pDC->font();
    const int pixels = m_nTextZooms
        ? std::max(1, roundHalfUp(double(m_nTextHeight) * double(pView->GetZoomFactor())))
        : std::max(1, m_nTextScreenHeight);
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    const QRect box(p.x, p.y, metrics.horizontalAdvance(text), metrics.height());
    pDC->save();
    pDC->setFont(font);
    if (!m_nTextTransparent)
        pDC->fillRect(box, toQColor(m_fillColor));
    pDC->setPen(toQColor(m_lineColor));
    pDC->drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
    pDC->restore();
}

bool CDrawObject::CanChangeFillColor() const
{
    return true;
}

bool CDrawObject::CanChangeLineColor() const
{
    return true;
}

bool CDrawObject::CanChangeLineWeight() const
{
    return true;
}

bool CDrawObject::CanHaveArrowEnd() const
{
    return false;
}

bool CDrawObject::CanBeEdited() const
{
    return true;
}

void CDrawObject::Invalidate(bool)
{
    if (m_pDocument)
        m_pDocument->UpdateAllViews(nullptr, CDrawView::HintUpdateObject, this);
}

void CDrawObject::EnableLine(bool bEnable, bool bInvalidate)
{
    m_bLineEnabled = bEnable;
    if (bInvalidate)
        Invalidate();
}

void CDrawObject::EnableFill(bool bEnable, bool bInvalidate)
{
    m_bFillEnabled = bEnable;
    if (bInvalidate)
        Invalidate();
}

void CDrawObject::SetLineWeight(int nWeight, bool bInvalidate)
{
    if (bInvalidate)
        Invalidate(); // the old, possibly wider line
    if (nWeight <= 0)
        m_bLineEnabled = false;
    else
        m_nLineWeight = std::min(nWeight, kMaxLineWeight);
    if (bInvalidate)
        Invalidate();
}

void CDrawObject::SetTextAttributes(int nTransparent, int nHeight, int nScreenHeight, int nZooms)
{
    m_nTextTransparent = nTransparent;
    m_nTextHeight = nHeight;
    m_nTextScreenHeight = nScreenHeight;
    m_nTextZooms = nZooms;
}

int CDrawObject::GetTrackerMargin(CDrawView *pView) const
{
    const float zoom = ZoomOf(pView);
    const int handleHalf = std::max(1, int(std::floor(float(c_nHandleSize / 2) / zoom + 0.5f)));
    const int line = m_bLineEnabled ? (m_nLineWeight + 1) / 2 : 0;
    return handleHalf + 2 + line;
}

float CDrawObject::ZoomOf(CDrawView *pView) const
{
    if (!pView && m_pDocument)
        pView = m_pDocument->GetFirstView();
    const float zoom = pView ? pView->GetZoomFactor() : 1.0f;
    return zoom > 0.0f ? zoom : 1.0f;
}

// Draws the handle squares, each at its handle coordinate shifted by 'offset'
// (objects whose position is kept in another frame pass the frame's origin).
void CDrawObject::DrawHandles(QPainter *pDC, CDrawView *pView, CPoint offset)
{
    const int count = GetHandleCount();
    const int half = c_nHandleSize / 2;
    for (int n = 1; n <= count; ++n) {
        CPoint c = GetHandleCoordinate(n) + offset;
        pView->Logical2Screen(c, false);
        // White rim, black core: visible on dark and on light gels.
        pDC->fillRect(QRect(c.x - half, c.y - half, c_nHandleSize, c_nHandleSize), Qt::white);
        pDC->fillRect(QRect(c.x - half + 1, c.y - half + 1, c_nHandleSize - 2, c_nHandleSize - 2),
                      Qt::black);
    }
}

CPoint CDrawObject::RectHandle(const CRect &rect, int nHandle)
{
    const int cx = rect.left + (rect.right - rect.left) / 2;
    const int cy = rect.top + (rect.bottom - rect.top) / 2;
    switch (nHandle) {
    case 1:
        return {rect.left, rect.top};
    case 2:
        return {cx, rect.top};
    case 3:
        return {rect.right, rect.top};
    case 4:
        return {rect.right, cy};
    case 5:
        return {rect.right, rect.bottom};
    case 6:
        return {cx, rect.bottom};
    case 7:
        return {rect.left, rect.bottom};
    case 8:
        return {rect.left, cy};
    default:
        return {cx, cy};
    }
}

CRect CDrawObject::MoveRectHandle(const CRect &rect, int nHandle, CPoint point)
{
    CRect r = rect;
    switch (nHandle) {
    case 1:
        r.left = point.x;
        r.top = point.y;
        break;
    case 2:
        r.top = point.y;
        break;
    case 3:
        r.right = point.x;
        r.top = point.y;
        break;
    case 4:
        r.right = point.x;
        break;
    case 5:
        r.right = point.x;
        r.bottom = point.y;
        break;
    case 6:
        r.bottom = point.y;
        break;
    case 7:
        r.left = point.x;
        r.bottom = point.y;
        break;
    case 8:
        r.left = point.x;
        break;
    default:
        break;
    }
    return r;
}
