#include "imaging/CCropImageTool.h"

#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"
#include "contracts/overlay/CSelectTool.h"

#include "platform/Prompts.h"

CCropImageTool::CCropImageTool(CSelectTool *pSelectTool)
    : CDrawTool(toolCropImage), m_pSelectTool(pSelectTool)
{ }

CCropImageTool::~CCropImageTool() = default;

void CCropImageTool::OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                   const CPoint &point)
{
    CDrawTool::OnLButtonDown(pDoc, pView, nFlags, point);
    m_bDragging = true;
    if (pView)
        pView->SetToolJustSelected(true);
}

void CCropImageTool::OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
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

CRect CCropImageTool::GetDragRect() const
{
    if (!m_bDragging)
        return CRect();
    CRect r(c_pntDown, c_pntLast);
    r.NormalizeRect();
    return r;
}

void CCropImageTool::OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point)
{
    const bool wasDragging = m_bDragging;
    m_bDragging = false;
    CRect rect(c_pntDown, point);
    rect.NormalizeRect();
    CDrawObject *target = wasDragging ? CImageTool::GetTargetObject(pDoc, pView) : nullptr;
    if (wasDragging && target && pDoc) {
        auto *image = dynamic_cast<CDrawImage *>(target);
        const CRect crop = image
            ? CImageTool::LogicalToImageRect(rect, image->m_position, image->GetImage()->GetSize())
            : CRect();
        if (!image) {
            Prompts::instance().MessageBox(QStringLiteral("You can only crop an image!"),
                                           MB_OK | MB_ICONEXCLAMATION);
        } else if (crop.IsRectEmpty()) {
            Prompts::instance().MessageBox(QStringLiteral("Could not crop and invalid selection!"),
                                           MB_OK | MB_ICONEXCLAMATION);
        } else {
            pDoc->SaveActionStartEnd(QStringLiteral("CCropImageTool::OnLButtonUp"));
            image->Invalidate();
            if (image->GetImage()->crop(crop)) {
                image->SizeToImage();
                pDoc->SetModifiedFlag();
                pDoc->UpdateAllViews(nullptr);
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

void CCropImageTool::OnCancel(CDrawView *pView)
{
    m_bDragging = false;
    if (pView)
        pView->InvalidateView();
    CDrawTool::OnCancel(pView);
}
