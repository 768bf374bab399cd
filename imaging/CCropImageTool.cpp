#include "imaging/CCropImageTool.h"

#include "imaging/CDrawImage.h"
#include "imaging/CImageTool.h"
#include "imaging/TVFImage.h"

#include "contracts/overlay/CDrawDocument.h"

#include "platform/Prompts.h"

CCropImageTool::CCropImageTool(CSelectTool *pSelectTool)
    : CImageRectDragTool(toolCropImage, pSelectTool)
{ }

CCropImageTool::~CCropImageTool() = default;

void CCropImageTool::OnRectDragged(CDrawDocument *pDoc, CDrawView *, const CRect &rect,
                                   CDrawObject *target)
{
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
