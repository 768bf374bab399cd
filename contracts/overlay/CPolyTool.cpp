#include "contracts/overlay/CPolyTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawPolygon.h"
#include "contracts/overlay/CDrawView.h"

namespace {
const QString kDownCaption = QStringLiteral("CPolyTool::OnLButtonDown");
const QString kEndCaption = QStringLiteral("CPolyTool::OnLButtonDblClk");
constexpr int kMinimumCorners = 3;
} // namespace

CPolyTool::CPolyTool(ToolType type) : CDrawTool(type) { }

CPolyTool::~CPolyTool() = default;

void CPolyTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    if (!pDoc || !pView)
        return;
    if (m_pPolygon && m_pDoc == pDoc) {
        // The dragged corner is fixed here and a new one follows the mouse.
        const int last = int(m_pPolygon->GetPoints().size());
        m_pPolygon->MoveHandleTo(last, point, pView);
        m_pPolygon->AddPoint(point, pView);
        return;
    }
    pView->DeselectAllObjects();
    pDoc->SaveActionStart(kDownCaption);
    pDoc->SaveActionGroup(kDownCaption);
    m_pDoc = pDoc;
    m_pPolygon = new CDrawPolygon(CRect(point, point));
    m_pPolygon->AddPoint(point, pView);
    m_pPolygon->AddPoint(point, pView); // the corner that follows the mouse
    pDoc->Add(m_pPolygon, true);
    pView->SelectObject(m_pPolygon);
    pView->SetViewCursor(Qt::CrossCursor);
}

void CPolyTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                            const CPoint &point)
{
    CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (!pView)
        return;
    if (m_pPolygon)
        m_pPolygon->MoveHandleTo(int(m_pPolygon->GetPoints().size()), point, pView);
    pView->SetViewCursor(Qt::CrossCursor);
}

void CPolyTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                            const CPoint &point)
{
    // The polygon goes on after the release; only a double-click ends it.
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void CPolyTool::OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnLButtonDblClk(pDoc, pView, nFlags, point);
    if (!m_pPolygon)
        return;
    // The double-click's first press fixed the last corner; the corner that
    // followed the mouse from there is not part of the polygon.
    m_pPolygon->RemoveLastPoint(pView);
    Finish(pView);
}

void CPolyTool::Finish(CDrawView *pView)
{
    CDrawPolygon *polygon = m_pPolygon;
    CDrawDocument *doc = m_pDoc;
    // Corners clicked twice in the same place count once.
    std::vector<CPoint> distinct;
    for (const CPoint &p : polygon->GetPoints()) {
        if (distinct.empty() || distinct.back() != p)
            distinct.push_back(p);
    }
    if (distinct.size() > 1 && distinct.front() == distinct.back())
        distinct.pop_back();
    if (int(distinct.size()) < kMinimumCorners) {
        Drop(pView);
        return;
    }
    while (polygon->GetPoints().size() > 0)
        polygon->RemoveLastPoint(pView);
    for (const CPoint &p : distinct)
        polygon->AddPoint(p, pView);
    m_pPolygon = nullptr;
    m_pDoc = nullptr;
    doc->SaveActionEnd(kEndCaption);
    doc->SetModifiedFlag();
    if (pView) {
        pView->InvalObject(polygon);
        pView->SetCurrentToolType(toolSelect);
    }
}

void CPolyTool::Drop(CDrawView *pView)
{
    if (!m_pPolygon)
        return;
    // Removing the polygon makes the document tell this tool to forget it.
    CDrawPolygon *polygon = m_pPolygon;
    CDrawDocument *doc = m_pDoc;
    m_pPolygon = nullptr;
    m_pDoc = nullptr;
    if (pView)
        pView->DeselectObject(polygon);
    polygon->Remove();
    if (doc)
        doc->SaveActionCancel(kEndCaption);
}

void CPolyTool::ForgetObject(const CDrawObject *pObj)
{
    if (!m_pPolygon || (pObj && pObj != m_pPolygon))
        return;
    m_pPolygon = nullptr;
    m_pDoc = nullptr;
}

void CPolyTool::OnCancel(CDrawView *pView)
{
    Drop(pView);
    CDrawTool::OnCancel(pView);
}
