#include "analysis1d/engine/LoadingWells.h"

#include "analysis1d/engine/AnalysisShapes.h"
#include "contracts/overlay/CDrawDocument.h"

#include "platform/CArchive.h"

#include <algorithm>

IMPLEMENT_SERIAL(LoadingWells, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

namespace {
const QString kLabel = QStringLiteral("Loading Wells");

// A zero-height line becomes a strip 20 pixels high that can be picked, kept
// 5 pixels inside the area's sides.
CRect strip(CRect line)
{
    line.InflateRect(-5, 10);
    return line;
}
} // namespace

LoadingWells::LoadingWells()
{
    Init();
}

// A copy (an undo step, a clone) keeps the colour of its tone: the placed
// strips are orange on a gel with darker bands, and an undo must give them
// back as they were, not in the default yellow.
LoadingWells::LoadingWells(const LoadingWells &other) : CDrawRectangleBound(other)
{
    Init();
    m_lineColor = other.m_lineColor;
}

LoadingWells::LoadingWells(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(strip(position), bound)
{
    Init();
}

LoadingWells::~LoadingWells() = default;

void LoadingWells::Init()
{
    m_lineColor = c_lineColor;
    SetTextAttributes(1, 16, 16, 0);
    m_nLabelOffsetX = -4;
    m_nLabelOffsetY = -4;
}

void LoadingWells::Serialize(CArchive &ar)
{
    CDrawRectangleBound::Serialize(ar);
    if (ar.IsLoading())
        Init();
}

void LoadingWells::MoveTo(const CRect &position, CDrawView *pView)
{
    CDrawRectangleBound::MoveTo(AnalysisShapes::KeepHorizontalExtent(m_position, position), pView);
    AnalysisShapes::ReferenceLineMoved(pView);
}

CPoint LoadingWells::LabelPosition() const
{
    return CPoint(std::min(m_position.left, m_position.right) - m_nLabelOffsetX,
                  std::min(m_position.top, m_position.bottom) - m_nLabelOffsetY);
}

void LoadingWells::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawTextW(pDC, pView, kLabel, LabelPosition());
    CDrawRectangleBound::Draw(pDC, pView);
}

CDrawObject *LoadingWells::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

CRect LoadingWells::GetAreaToBeRepainted(CDrawView *pView) const
{
    CRect r;
    r.UnionRect(AnalysisShapes::StripAreaToBeRepainted(*this, m_nLabelOffsetY, pView),
                AnalysisShapes::LabelExtent(*this, kLabel, LabelPosition(), pView));
    return r;
}
