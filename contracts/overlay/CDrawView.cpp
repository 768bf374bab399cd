#include "contracts/overlay/CDrawView.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawObject.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CDrawView, CObject)

namespace {
// floor(v + 0.5) in single precision, as the view's zoom is a float. Held to a
// range an int can take, so absurd stored coordinates cannot overflow.
int roundZoomed(float v)
{
    return int(std::clamp(std::floor(v + 0.5f), -1.0e9f, 1.0e9f));
}
} // namespace

CDrawView::CDrawView() = default;

CDrawView::~CDrawView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CDrawView::SetDocument(CDrawDocument *pDoc)
{
    if (pDoc == m_pDocument)
        return;
    if (m_pDocument)
        m_pDocument->RemoveView(this);
    if (pDoc)
        pDoc->AddView(this);
}

void CDrawView::SetViewCursor(Qt::CursorShape) { }

void CDrawView::Logical2Screen(CPoint &point, bool bAddScroll) const
{
    const float zoom = GetZoomFactor();
    point.x = roundZoomed(float(point.x) * zoom);
    point.y = roundZoomed(float(point.y) * zoom);
    if (bAddScroll) {
        const CPoint scroll = GetScrollPosition();
        point.x -= scroll.x;
        point.y -= scroll.y;
    }
}

void CDrawView::Logical2Screen(CRect &rect, bool bAddScroll) const
{
    CPoint a = rect.TopLeft();
    CPoint b = rect.BottomRight();
    Logical2Screen(a, bAddScroll);
    Logical2Screen(b, bAddScroll);
    rect = CRect(a, b);
}

void CDrawView::Screen2Logical(CPoint &point, bool bAddScroll) const
{
    float zoom = GetZoomFactor();
    if (!(zoom > 0.0f))
        zoom = 1.0f;
    const CPoint scroll = bAddScroll ? GetScrollPosition() : CPoint();
    point.x = roundZoomed(float(point.x + scroll.x) / zoom);
    point.y = roundZoomed(float(point.y + scroll.y) / zoom);
}

void CDrawView::Screen2Logical(CRect &rect, bool bAddScroll) const
{
    CPoint a = rect.TopLeft();
    CPoint b = rect.BottomRight();
    Screen2Logical(a, bAddScroll);
    Screen2Logical(b, bAddScroll);
    rect = CRect(a, b);
}

void CDrawView::InvalObject(CDrawObject *pObj)
{
    if (!pObj)
        return;
    CRect r = pObj->GetAreaToBeRepainted(this);
    Logical2Screen(r, true);
    r.NormalizeRect();
    InvalidateScreenRect(r);
}

void CDrawView::OnUpdate(CDrawView *, int nHint, CObject *pHint)
{
    auto *obj = dynamic_cast<CDrawObject *>(pHint);
    switch (nHint) {
    case HintUpdateObject:
        if (obj)
            InvalObject(obj);
        else
            InvalidateView();
        break;
    case HintUpdateSelection:
    case HintDeselect:
        if (obj) {
            InvalObject(obj);
        } else {
            for (CDrawObject *selected : std::as_const(m_selection))
                InvalObject(selected);
        }
        break;
    case HintDeleteObject:
        if (obj) {
            InvalObject(obj);
            m_selection.removeAll(obj);
        }
        break;
    default:
        InvalidateView();
        break;
    }
}

bool CDrawView::IsObjectSelected(const CDrawObject *pObj) const
{
    return m_selection.contains(const_cast<CDrawObject *>(pObj));
}

void CDrawView::SelectObject(CDrawObject *pObj, bool bAdd)
{
    if (!pObj || !pObj->CanBeSelected())
        return;
    if (!bAdd) {
        OnUpdate(nullptr, HintDeselect, nullptr);
        m_selection.clear();
    }
    if (!IsObjectSelected(pObj)) {
        m_selection.append(pObj);
        InvalObject(pObj);
    }
}

void CDrawView::SelectObjectWithinRect(CRect rect, bool bAdd)
{
    if (!bAdd)
        DeselectAllObjects();
    if (!m_pDocument)
        return;
    rect.NormalizeRect();
    for (CDrawObject *obj : std::as_const(m_pDocument->GetObjects())) {
        if (obj->CanBeSelected() && obj->IsInside(rect))
            SelectObject(obj, true);
    }
}

void CDrawView::DeselectObject(CDrawObject *pObj)
{
    if (m_selection.removeAll(pObj) > 0)
        InvalObject(pObj);
}

void CDrawView::DeselectAllObjects()
{
    OnUpdate(nullptr, HintDeselect, nullptr);
    m_selection.clear();
}

void CDrawView::AddTool(std::unique_ptr<CDrawTool> tool)
{
    if (tool)
        m_tools.push_back(std::move(tool));
}

CDrawTool *CDrawView::FindTool(ToolType type) const
{
    for (const auto &tool : m_tools) {
        if (tool->GetToolType() == type)
            return tool.get();
    }
    return nullptr;
}

void CDrawView::Destroytools()
{
    m_tools.clear();
}

void CDrawView::ForgetInTools(const CDrawObject *pObj)
{
    for (const auto &tool : m_tools)
        tool->ForgetObject(pObj);
}

void CDrawView::SetCurrentToolType(ToolType type)
{
    m_currentTool = type;
}

CPoint CDrawView::ToLogical(CPoint screenPoint) const
{
    Screen2Logical(screenPoint, true);
    return screenPoint;
}

void CDrawView::OnLButtonDown(unsigned nFlags, CPoint screenPoint)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnLButtonDown(m_pDocument, this, nFlags, ToLogical(screenPoint));
}

void CDrawView::OnLButtonDblClk(unsigned nFlags, CPoint screenPoint)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnLButtonDblClk(m_pDocument, this, nFlags, ToLogical(screenPoint));
}

void CDrawView::OnLButtonUp(unsigned nFlags, CPoint screenPoint)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnLButtonUp(m_pDocument, this, nFlags, ToLogical(screenPoint));
}

void CDrawView::OnRButtonDown(unsigned nFlags, CPoint screenPoint)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnRButtonDown(m_pDocument, this, nFlags, ToLogical(screenPoint));
}

void CDrawView::OnMouseMove(unsigned nFlags, CPoint screenPoint)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnMouseMove(m_pDocument, this, nFlags, ToLogical(screenPoint));
}

void CDrawView::OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags)
{
    if (CDrawTool *tool = GetCurrentTool())
        tool->OnKeyDown(m_pDocument, this, nChar, nRepCnt, nFlags);
}

void CDrawView::OnDraw(QPainter *pDC)
{
    if (m_pDocument) {
        for (CDrawObject *obj : std::as_const(m_pDocument->GetObjects()))
            obj->Draw(pDC, this);
    }
    DrawSelectedFeature(pDC);
}

void CDrawView::DrawSelectedFeature(QPainter *pDC)
{
    for (CDrawObject *obj : std::as_const(m_selection))
        obj->DrawTracker(pDC, this);
}
