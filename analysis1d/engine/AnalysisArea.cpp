#include "analysis1d/engine/AnalysisArea.h"

#include "analysis1d/engine/AnalysisShapes.h"
#include "contracts/overlay/CDrawDocument.h"

#include "platform/CArchive.h"

#include <algorithm>

IMPLEMENT_SERIAL(AnalysisArea, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

namespace {
const QString kLabel = QStringLiteral("Analysis Area");
// The label sits this far left of and above the area's corner.
constexpr int kLabelLeft = 4;
constexpr int kLabelAbove = 12;
// Vertical room kept for the label when repainting.
constexpr int kLabelRoom = 24;
} // namespace

AnalysisArea::AnalysisArea()
{
    Init();
}

// A copy (an undo step, a clone) keeps the area's colour and pen: those of
// its tone, or what the user gave it; an undo must give the area back as it was.
AnalysisArea::AnalysisArea(const AnalysisArea &other) : CDrawRectangleBound(other)
{
    Init();
    m_lineColor = other.m_lineColor;
    m_nLineWeight = other.m_nLineWeight;
}

AnalysisArea::AnalysisArea(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(position, bound)
{
    Init();
}

AnalysisArea::~AnalysisArea() = default;

void AnalysisArea::Init()
{
    m_lineColor = c_lineColor;
    m_nLineWeight = c_lineWeight;
}

void AnalysisArea::Serialize(CArchive &ar)
{
    CDrawRectangleBound::Serialize(ar);
    if (ar.IsLoading())
        Init();
}

CPoint AnalysisArea::LabelPosition() const
{
    return CPoint(std::min(m_position.left, m_position.right) - kLabelLeft,
                  std::min(m_position.top, m_position.bottom) - kLabelAbove);
}

void AnalysisArea::Draw(QPainter *pDC, CDrawView *pView)
{
    DrawTextW(pDC, pView, kLabel, LabelPosition());
    CDrawRectangleBound::Draw(pDC, pView);
}

CDrawObject *AnalysisArea::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}

CRect AnalysisArea::GetAreaToBeRepainted(CDrawView *pView) const
{
    CRect r = m_position;
    r.NormalizeRect();
    const int m = GetTrackerMargin(pView);
    r.InflateRect(m, std::max(m, kLabelRoom));
    CRect withLabel;
    withLabel.UnionRect(r, AnalysisShapes::LabelExtent(*this, kLabel, LabelPosition(), pView));
    return withLabel;
}
