#include "imaging/CImageRectDragTool.h"

#include "imaging/CImageTool.h"

#include "contracts/overlay/CDrawView.h"
#include "contracts/overlay/CSelectTool.h"

CImageRectDragTool::CImageRectDragTool(ToolType type, CSelectTool *pSelectTool)
    : CDrawTool(type), m_pSelectTool(pSelectTool)
{ }

CImageRectDragTool::~CImageRectDragTool() = default;

void CImageRectDragTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                       const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    m_bDragging = true;
    if (pView)
        pView->SetToolJustSelected(true);
}

void CImageRectDragTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    if (m_pSelectTool)
        m_pSelectTool->OnMouseMove(pDoc, pView, nFlags, point);
    else
        CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (pView) {
        if (m_bDragging)
            pView->InvalidateView(); // the dragged rectangle moved
        pView->SetViewCursor(Qt::CrossCursor);
    }
}

CRect CImageRectDragTool::GetDragRect() const
{
    if (!m_bDragging)
        return CRect();
    CRect r(c_pntDown, c_pntLast);
    r.NormalizeRect();
    return r;
}

void CImageRectDragTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    const bool wasDragging = m_bDragging;
    m_bDragging = false;
    CRect rect(c_pntDown, point);
    rect.NormalizeRect();
    CDrawObject *target = wasDragging ? CImageTool::GetTargetObject(pDoc, pView) : nullptr;
    if (wasDragging && target && pDoc)
        OnRectDragged(pDoc, pView, rect, target);
    if (m_pSelectTool)
        m_pSelectTool->OnLButtonUp(pDoc, pView, nFlags, point);
    else
        CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    if (pView && wasDragging)
        pView->InvalidateView();
}

void CImageRectDragTool::OnCancel(CDrawView *pView)
{
    m_bDragging = false;
    if (pView)
        pView->InvalidateView();
    CDrawTool::OnCancel(pView);
}
