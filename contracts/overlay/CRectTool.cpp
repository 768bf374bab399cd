#include "contracts/overlay/CRectTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawRectangle.h"
#include "contracts/overlay/CDrawView.h"

CRectTool::CRectTool(ToolType type) : CDrawTool(type) { }

CRectTool::~CRectTool() = default;

CDrawObject *CRectTool::CreateDrawObject(const CRect &rect)
{
    CDrawRectangle::Shape shape = CDrawRectangle::rectangle;
    switch (m_toolType) {
    case toolRoundRect:
        shape = CDrawRectangle::roundRectangle;
        break;
    case toolEllipse:
        shape = CDrawRectangle::ellipse;
        break;
    case toolLine:
        shape = CDrawRectangle::line;
        break;
    default:
        break;
    }
    return new CDrawRectangle(rect, shape);
}

void CRectTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    if (!pDoc || !pView)
        return;
    pView->DeselectAllObjects();
    if (m_bUndoable) {
        pDoc->SaveActionStart(m_strDownCaption);
        pDoc->SaveActionGroup(m_strDownCaption);
    }
    m_pDoc = pDoc;
    m_pNewObject = CreateDrawObject(CRect(point, point));
    pDoc->Add(m_pNewObject, true);
    pView->SelectObject(m_pNewObject);
    pView->SetViewCursor(Qt::CrossCursor);
}

void CRectTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                            const CPoint &point)
{
    CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (!pView)
        return;
    if (m_pNewObject)
        m_pNewObject->MoveHandleTo(5, point, pView);
    pView->SetViewCursor(Qt::CrossCursor);
}

void CRectTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                            const CPoint &point)
{
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    if (!m_pNewObject || !pDoc || !pView)
        return;
    CDrawObject *obj = m_pNewObject;
    m_pNewObject = nullptr;
    m_pDoc = nullptr;
    CRect r = obj->m_position;
    r.NormalizeRect();
    if (r.Width() < c_nMinimumSize && r.Height() < c_nMinimumSize) {
        pView->DeselectObject(obj);
        obj->Remove();
        if (m_bUndoable)
            pDoc->SaveActionCancel(m_strUpCaption);
        if (point == c_pntDown)
            pView->SetCurrentToolType(toolSelect);
        // What was too small to draw was a click.
        if (CDrawTool *select = pView->FindTool(toolSelect); select && select != this) {
            select->OnLButtonDown(pDoc, pView, nFlags, point);
            select->OnLButtonUp(pDoc, pView, nFlags, point);
        }
        return;
    }
    // A line keeps its direction; the other shapes are stored normalised.
    const auto *shape = dynamic_cast<const CDrawRectangle *>(obj);
    if (!shape || shape->GetShape() != CDrawRectangle::line)
        obj->MoveTo(r, pView);
    if (m_bUndoable)
        pDoc->SaveActionEnd(m_strUpCaption);
    pDoc->SetModifiedFlag();
    pView->InvalObject(obj);
}

void CRectTool::OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnLButtonDblClk(pDoc, pView, nFlags, point);
}

void CRectTool::OnCancel(CDrawView *pView)
{
    if (m_pNewObject) {
        // Removing the object makes the document tell this tool to forget it.
        CDrawObject *obj = m_pNewObject;
        CDrawDocument *doc = m_pDoc;
        m_pNewObject = nullptr;
        m_pDoc = nullptr;
        if (pView)
            pView->DeselectObject(obj);
        obj->Remove();
        if (doc && m_bUndoable)
            doc->SaveActionCancel(m_strUpCaption);
    }
    CDrawTool::OnCancel(pView);
}

void CRectTool::ForgetObject(const CDrawObject *pObj)
{
    if (m_pNewObject && (!pObj || pObj == m_pNewObject)) {
        m_pNewObject = nullptr;
        m_pDoc = nullptr;
    }
}
