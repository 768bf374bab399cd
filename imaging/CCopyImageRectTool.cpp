#include "imaging/CCopyImageRectTool.h"

#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"
#include "contracts/overlay/CDrawView.h"

#include "platform/Prompts.h"

#include <memory>

CCopyImageRectTool::CCopyImageRectTool(CSelectTool *pSelectTool)
    : CImageRectDragTool(toolCopyImageRect, pSelectTool)
{ }

CCopyImageRectTool::~CCopyImageRectTool() = default;

void CCopyImageRectTool::OnRectDragged(CDrawDocument *pDoc, CDrawView *pView, const CRect &rect,
                                       CDrawObject *target)
{
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
        return;
    }
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
