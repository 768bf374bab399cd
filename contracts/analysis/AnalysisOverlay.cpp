#include "contracts/analysis/AnalysisOverlay.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/CArchive.h"

IMPLEMENT_SERIAL(AnalysisOverlay, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

namespace {
constexpr uint16_t kOverlayLayout = 1;
} // namespace

AnalysisOverlay::AnalysisOverlay() = default;

AnalysisOverlay::AnalysisOverlay(const AnalysisOverlay &other)
    : CDrawRectangleBound(other), m_analysisArea(other.m_analysisArea)
{ }

AnalysisOverlay::AnalysisOverlay(const CRect &position, const CRect &bound,
                                 const CRect &analysisArea)
    : CDrawRectangleBound(position, bound), m_analysisArea(analysisArea)
{ }

AnalysisOverlay::~AnalysisOverlay() = default;

AnalysisOverlay &AnalysisOverlay::operator=(const AnalysisOverlay &other)
{
    CDrawRectangleBound::operator=(other);
    m_analysisArea = other.m_analysisArea;
    return *this;
}

CDrawObject &AnalysisOverlay::operator=(const CDrawObject &other)
{
    if (const auto *o = dynamic_cast<const AnalysisOverlay *>(&other))
        return AnalysisOverlay::operator=(*o);
    return CDrawRectangleBound::operator=(other);
}

bool AnalysisOverlay::operator==(const CDrawObject &other) const
{
    const auto *o = dynamic_cast<const AnalysisOverlay *>(&other);
    return o && CDrawRectangleBound::operator==(other) && o->m_analysisArea == m_analysisArea;
}

void AnalysisOverlay::Serialize(CArchive &ar)
{
    Serialize(ar, 0);
}

// Stored overlay part, after the CDrawRectangleBound part (whose position and
// bound are in analysis coordinates):
//   WORD   layout version of this part, 1
//   CRect  analysis area in gel pixels (int32 left, top, right, bottom)
// Another layout version is refused (badSchema).
void AnalysisOverlay::Serialize(CArchive &ar, int /*version*/)
{
    CDrawRectangleBound::Serialize(ar);
    if (ar.IsStoring()) {
        ar << kOverlayLayout << m_analysisArea;
        return;
    }
    uint16_t layout = 0;
    ar >> layout;
    if (layout != kOverlayLayout)
        throw CArchiveException(CArchiveException::badSchema);
    ar >> m_analysisArea;
}

CRect AnalysisOverlay::GetLogicalPosition() const
{
    CRect r = m_position;
    Analysis2Logical(r);
    return r;
}

void AnalysisOverlay::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawShape(pDC, pView, GetLogicalPosition());
}

void AnalysisOverlay::DrawTracker(QPainter *pDC, CDrawView *pView)
{
    DrawHandles(pDC, pView, m_analysisArea.TopLeft());
}

int AnalysisOverlay::HitTest(const CPoint &point, int bSelected, CDrawView *pView)
{
    CPoint p = point;
    Logical2Analysis(p);
    return CDrawRectangleBound::HitTest(p, bSelected, pView);
}

bool AnalysisOverlay::Intersects(CRect &rect)
{
    CRect r = rect;
    Logical2Analysis(r);
    return CDrawRectangleBound::Intersects(r);
}

bool AnalysisOverlay::IsInside(CRect &rect)
{
    CRect r = rect;
    Logical2Analysis(r);
    return CDrawRectangleBound::IsInside(r);
}

void AnalysisOverlay::MoveHandleTo(int nHandle, CPoint point, CDrawView *pView)
{
    Logical2Analysis(point);
    CDrawRectangleBound::MoveHandleTo(nHandle, point, pView);
}

CDrawObject *AnalysisOverlay::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

CRect AnalysisOverlay::GetAreaToBeRepainted(CDrawView *pView) const
{
    CRect r = CDrawRectangleBound::GetAreaToBeRepainted(pView);
    Analysis2Logical(r);
    return r;
}

void AnalysisOverlay::Logical2Analysis(CRect &rect) const
{
    rect.OffsetRect(-m_analysisArea.left, -m_analysisArea.top);
}

void AnalysisOverlay::Logical2Analysis(CPoint &point) const
{
    point.Offset(-m_analysisArea.left, -m_analysisArea.top);
}

void AnalysisOverlay::Analysis2Logical(CPoint &point) const
{
    point.Offset(m_analysisArea.left, m_analysisArea.top);
}

void AnalysisOverlay::Analysis2Logical(CRect &rect) const
{
    rect.OffsetRect(m_analysisArea.left, m_analysisArea.top);
}
