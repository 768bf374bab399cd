#include "contracts/overlay/CSelectTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"

namespace {
const QString kMoveCaption = QStringLiteral("CSelectTool::OnMouseMove");
const QString kEndCaption = QStringLiteral("CSelectTool::OnLButtonUp");
} // namespace

CSelectTool::CSelectTool(ToolType type) : CDrawTool(type) { }

CSelectTool::~CSelectTool() = default;

void CSelectTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    EndChange();
    m_selectMode = none;
    m_nDragHandle = 0;
    m_pSized = nullptr;
    m_bChanged = false;
    if (!pDoc || !pView)
        return;

    // A handle of the one selected object starts sizing.
    const CDrawObjList &selection = pView->GetSelectedObjects();
    if (selection.size() == 1) {
        CDrawObject *obj = selection.first();
        if (obj->CanBeEdited()) {
            const int handle = obj->HitTest(point, true, pView);
            if (handle != 0) {
                m_selectMode = size;
                m_nDragHandle = handle;
                m_pSized = obj;
                m_pLastClicked = obj;
                pView->SetViewCursor(obj->GetHandleCursor(handle));
                return;
            }
        }
    }

    if (CDrawObject *obj = pDoc->ObjectAt(point)) {
        m_selectMode = move;
        m_pLastClicked = obj;
        if (!pView->IsObjectSelected(obj))
            pView->SelectObject(obj, (nFlags & MK_SHIFT) != 0);
        return;
    }

    if (!(nFlags & MK_SHIFT))
        pView->DeselectAllObjects();
    m_selectMode = netSelect;
}

void CSelectTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    const CPoint last = c_pntLast;
    CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (!pView)
        return;

    if (m_selectMode == none) {
        // Hovering: show the sizing cursor over a handle of the one selected object.
        const CDrawObjList &selection = pView->GetSelectedObjects();
        if (selection.size() == 1 && selection.first()->CanBeEdited()) {
            const int handle = selection.first()->HitTest(point, true, pView);
            if (handle != 0)
                pView->SetViewCursor(selection.first()->GetHandleCursor(handle));
        }
        return;
    }

    const CSize delta = point - last;
    if (delta == CSize())
        return;
    switch (m_selectMode) {
    case netSelect:
        pView->InvalidateView(); // the rubber band moved
        break;
    case move: {
        // A copy: moving may repaint, and repainting must not see the list change.
        const CDrawObjList selection = pView->GetSelectedObjects();
        for (CDrawObject *obj : selection) {
            if (!obj->CanBeEdited())
                continue;
            BeginChange(pDoc);
            obj->MoveDelta(CPoint(delta.cx, delta.cy), pView);
            m_bChanged = true;
        }
        break;
    }
    case size:
        // The sized object may live outside the document list (an analysis lane
        // or band); the undo step then records the document as it is.
        if (m_pSized) {
            BeginChange(pDoc);
            m_pSized->MoveHandleTo(m_nDragHandle, point, pView);
            m_bChanged = true;
            pView->SetViewCursor(m_pSized->GetHandleCursor(m_nDragHandle));
        }
        break;
    case none:
        break;
    }
}

void CSelectTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    if (m_selectMode == netSelect && pView) {
        CRect band(c_pntDown, point);
        band.NormalizeRect();
        if (!band.IsRectEmpty())
            pView->SelectObjectWithinRect(band, true);
        pView->InvalidateView();
    }
    if (m_bChanged && pDoc)
        pDoc->SetModifiedFlag();
    EndChange();
    m_selectMode = none;
    m_pSized = nullptr;
    CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
}

void CSelectTool::OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                  const CPoint &point)
{
    if (pDoc && pView) {
        CDrawObject *obj = pDoc->ObjectAt(point);
        if (obj && (nFlags & MK_SHIFT)) {
            // Shift double-click toggles the object's selection.
            if (pView->IsObjectSelected(obj))
                pView->DeselectObject(obj);
            else
                pView->SelectObject(obj, true);
        } else if (obj && pView->GetSelectedObjects().size() == 1 && pView->IsObjectSelected(obj)) {
            obj->OnOpen(pView);
        }
    }
    CDrawTool::OnLButtonDblClk(pDoc, pView, nFlags, point);
}

void CSelectTool::OnRButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                const CPoint &point)
{
    CDrawTool::OnRButtonDown(pDoc, pView, nFlags, point);
    if (!pDoc || !pView)
        return;
    if (CDrawObject *obj = pDoc->ObjectAt(point)) {
        if (!pView->IsObjectSelected(obj))
            pView->SelectObject(obj, false);
        obj->LoadPopupMenu(pView, point);
    }
}

void CSelectTool::OnEditProperties(CDrawView *pView)
{
    if (pView && pView->GetSelectedObjects().size() == 1)
        pView->GetSelectedObjects().first()->OnEditProperties(pView);
}

void CSelectTool::OnCancel(CDrawView *pView)
{
    EndChange();
    m_selectMode = none;
    m_pSized = nullptr;
    CDrawTool::OnCancel(pView);
}

CRect CSelectTool::GetNetRect() const
{
    if (m_selectMode != netSelect)
        return CRect();
    CRect band(c_pntDown, c_pntLast);
    band.NormalizeRect();
    return band;
}

CDrawObject *CSelectTool::GetLastClickedObject(CDrawDocument *pDoc) const
{
    if (!pDoc || !m_pLastClicked || !pDoc->GetObjects().contains(m_pLastClicked))
        return nullptr;
    return m_pLastClicked;
}

void CSelectTool::BeginChange(CDrawDocument *pDoc)
{
    if (m_pActionDoc || !pDoc)
        return;
    // Start, then Group while the objects are still as they were.
    pDoc->SaveActionStart(kMoveCaption);
    pDoc->SaveActionGroup(kMoveCaption);
    m_pActionDoc = pDoc;
}

void CSelectTool::EndChange()
{
    if (!m_pActionDoc)
        return;
    m_pActionDoc->SaveActionEnd(kEndCaption);
    m_pActionDoc = nullptr;
}

void CSelectTool::ForgetObject(const CDrawObject *pObj)
{
    if (!pObj || pObj == m_pSized)
        m_pSized = nullptr;
    if (!pObj || pObj == m_pLastClicked)
        m_pLastClicked = nullptr;
}
