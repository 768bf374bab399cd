#include "analysis1d/engine/DyeFront.h"

#include "analysis1d/engine/AnalysisShapes.h"
#include "contracts/overlay/CDrawDocument.h"

#include "platform/CArchive.h"

#include <algorithm>

IMPLEMENT_SERIAL(DyeFront, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

namespace {
const QString kLabel = QStringLiteral("Dye Front");

// A zero-height line becomes a strip 20 pixels high that can be picked, kept
// 5 pixels inside the area's sides.
CRect strip(CRect line)
{
    line.InflateRect(-5, 10);
    return line;
}
} // namespace

DyeFront::DyeFront()
{
    Init();
}

// A copy (an undo step, a clone) keeps the colour of its tone: the placed
// strips are orange on a gel with darker bands, and an undo must give them
// back as they were, not in the default yellow.
DyeFront::DyeFront(const DyeFront &other) : CDrawRectangleBound(other)
{
    Init();
    m_lineColor = other.m_lineColor;
}

DyeFront::DyeFront(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(strip(position), bound)
{
    Init();
}

DyeFront::~DyeFront() = default;

void DyeFront::Init()
{
    m_lineColor = c_lineColor;
    SetTextAttributes(1, 16, 16, 0);
    m_nLabelOffsetX = 0;
    m_nLabelOffsetY = 0;
}

void DyeFront::Serialize(CArchive &ar)
{
    CDrawRectangleBound::Serialize(ar);
    if (ar.IsLoading())
        Init();
}

void DyeFront::MoveTo(const CRect &position, CDrawView *pView)
{
    CDrawRectangleBound::MoveTo(AnalysisShapes::KeepHorizontalExtent(m_position, position), pView);
    AnalysisShapes::ReferenceLineMoved(pView);
}

CPoint DyeFront::LabelPosition() const
{
    return CPoint(std::min(m_position.left, m_position.right) + 4,
                  std::min(m_position.top, m_position.bottom) + 4);
}

void DyeFront::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawTextW(pDC, pView, kLabel, LabelPosition());
    CDrawRectangleBound::Draw(pDC, pView);
}

CDrawObject *DyeFront::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

CRect DyeFront::GetAreaToBeRepainted(CDrawView *pView) const
{
    CRect r;
    r.UnionRect(AnalysisShapes::StripAreaToBeRepainted(*this, m_nLabelOffsetY, pView),
                AnalysisShapes::LabelExtent(*this, kLabel, LabelPosition(), pView));
    return r;
}
