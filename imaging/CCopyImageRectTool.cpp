#include "imaging/CCopyImageRectTool.h"

#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"
#include "contracts/overlay/CSelectTool.h"

#include "platform/Prompts.h"

#include <memory>

CCopyImageRectTool::CCopyImageRectTool(CSelectTool *pSelectTool)
    : CDrawTool(toolCopyImageRect), m_pSelectTool(pSelectTool)
{ }

CCopyImageRectTool::~CCopyImageRectTool() = default;

void CCopyImageRectTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                       const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    m_bDragging = true;
    if (pView)
        pView->SetToolJustSelected(true);
}

void CCopyImageRectTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    if (m_pSelectTool)
        m_pSelectTool->OnMouseMove(pDoc, pView, nFlags, point);
    else
        CDrawTool::OnMouseMove(pDoc, pView, nFlags, point);
    if (pView) {
        if (m_bDragging)
            pView->InvalidateView();
        pView->SetViewCursor(Qt::CrossCursor);
    }
}

CRect CCopyImageRectTool::GetDragRect() const
{
    if (!m_bDragging)
        return CRect();
    CRect r(c_pntDown, c_pntLast);
    r.NormalizeRect();
    return r;
}

void CCopyImageRectTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                     const CPoint &point)
{
    const bool wasDragging = m_bDragging;
    m_bDragging = false;
    CRect rect(c_pntDown, point);
    rect.NormalizeRect();
    CDrawObject *target = wasDragging ? CImageTool::GetTargetObject(pDoc, pView) : nullptr;
    if (wasDragging && target && pDoc) {
        // Only a picture has pixels to copy; any other target copies nothing.
        auto *image = dynamic_cast<CDrawImage *>(target);
        CRect position = target->m_position;
        position.NormalizeRect();
        CRect overlap;
        const bool meets = overlap.IntersectRect(rect, position);
        const CRect crop = image && meets
            ? CImageTool::LogicalToImageRect(rect, position, image->GetImage()->GetSize())
            : CRect();
        if (crop.IsRectEmpty()) {
            Prompts::instance().MessageBox(QStringLiteral("Copied nothing!"),
                                           MB_OK | MB_ICONEXCLAMATION);
        } else {
            pDoc->SaveActionStartEnd(QStringLiteral("CCopyImageRectTool::OnLButtonUp"));
            std::unique_ptr<CDrawImage> clone(static_cast<CDrawImage *>(image->Clone(nullptr)));
            if (clone->GetImage()->crop(crop)) {
                // The copy lies where its pixels were taken from.
                clone->m_position = overlap;
                CDrawImage *added = clone.release();
                pDoc->Add(added, false);
                pDoc->SetModifiedFlag();
                if (pView)
                    pView->SelectObject(added, false);
                added->Invalidate();
            }
        }
    }
    if (m_pSelectTool)
        m_pSelectTool->OnLButtonUp(pDoc, pView, nFlags, point);
    else
        CDrawTool::OnLButtonUp(pDoc, pView, nFlags, point);
    if (pView && wasDragging)
        pView->InvalidateView();
}

void CCopyImageRectTool::OnCancel(CDrawView *pView)
{
    m_bDragging = false;
    if (pView)
        pView->InvalidateView();
    CDrawTool::OnCancel(pView);
}
