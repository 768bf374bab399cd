#include "imaging/CImageTool.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawObject.h"
#include "contracts/overlay/CDrawView.h"
#include "contracts/overlay/CSelectTool.h"

#include <algorithm>

CImageTool::CImageTool(CSelectTool *pSelectTool) : CDrawTool(toolImage), m_pSelectTool(pSelectTool)
{ }

CImageTool::~CImageTool() = default;

void CImageTool::OnLButtonDown(CDrawDocument *, CDrawView *pView, unsigned, const CPoint &point)
{
    c_pntLast = point;
    if (pView)
        pView->SetCurrentToolType(toolSelect);
}

void CImageTool::OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point)
{
    CDrawTool::OnLButtonDblClk(pDoc, pView, nFlags, point);
}

void CImageTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                             const CPoint &point)
{
    CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (pView)
        pView->SetViewCursor(Qt::CrossCursor);
}

CDrawObject *CImageTool::GetTargetObject(CDrawDocument *pDoc, CDrawView *pView)
{
    if (pView && pView->GetSelectedObjects().size() == 1)
        return pView->GetSelectedObjects().first();
    if (pDoc && !pDoc->GetObjects().isEmpty())
        return pDoc->GetObjects().first();
    return nullptr;
}

CRect CImageTool::LogicalToImageRect(const CRect &logical, const CRect &position,
                                     const CSize &imageSize)
{
    CRect pos = position;
    pos.NormalizeRect();
    CRect overlap;
    if (!overlap.IntersectRect(logical, pos) || pos.Width() <= 0 || pos.Height() <= 0)
        return CRect();
    // The object draws its picture stretched over its position; a picture
    // object normally sits at the origin at its own size, where this is the
    // identity.
    auto mapX = [&](int x) { return int((long long)(x - pos.left) * imageSize.cx / pos.Width()); };
    auto mapY = [&](int y) { return int((long long)(y - pos.top) * imageSize.cy / pos.Height()); };
    CRect r(mapX(overlap.left), mapY(overlap.top), mapX(overlap.right), mapY(overlap.bottom));
    r.left = std::clamp(r.left, 0, int(imageSize.cx));
    r.right = std::clamp(r.right, 0, int(imageSize.cx));
    r.top = std::clamp(r.top, 0, int(imageSize.cy));
    r.bottom = std::clamp(r.bottom, 0, int(imageSize.cy));
    return r.IsRectEmpty() ? CRect() : r;
}
