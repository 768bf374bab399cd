#include "contracts/overlay/CDrawTool.h"

#include "contracts/overlay/CDrawView.h"

CPoint CDrawTool::c_pntDown;
CPoint CDrawTool::c_pntLast;
CPoint CDrawTool::c_from;
CPoint CDrawTool::c_to;
unsigned CDrawTool::c_nDownFlags = 0;

CDrawTool::CDrawTool(ToolType type) : m_toolType(type) { }

CDrawTool::~CDrawTool() = default;

void CDrawTool::OnLButtonDown(CDrawDocument *, CDrawView *pView, unsigned nFlags,
                              const CPoint &point)
{
    c_pntDown = c_pntLast = point;
    c_nDownFlags = nFlags;
    c_from = point;
    if (pView)
        pView->Logical2Screen(c_from, true);
    c_to = c_from;
}

void CDrawTool::OnLButtonDblClk(CDrawDocument *, CDrawView *, unsigned, const CPoint &) { }

void CDrawTool::OnLButtonUp(CDrawDocument *, CDrawView *pView, unsigned, const CPoint &point)
{
    c_pntLast = point;
    c_to = point;
    if (pView)
        pView->Logical2Screen(c_to, true);
}

void CDrawTool::OnRButtonDown(CDrawDocument *, CDrawView *, unsigned, const CPoint &) { }

void CDrawTool::OnMouseMove(CDrawDocument *, CDrawView *pView, unsigned, const CPoint &point)
{
    c_pntLast = point;
    c_to = point;
    if (pView) {
        pView->Logical2Screen(c_to, true);
        pView->SetViewCursor(Qt::ArrowCursor);
    }
}

void CDrawTool::OnKeyDown(CDrawDocument *, CDrawView *pView, unsigned nChar, unsigned, unsigned)
{
    if (nChar == VK_ESCAPE)
        OnCancel(pView);
}

void CDrawTool::OnEditProperties(CDrawView *) { }

void CDrawTool::OnCancel(CDrawView *pView)
{
    if (pView)
        pView->SetCurrentToolType(toolSelect);
}

void CDrawTool::ForgetObject(const CDrawObject *) { }
