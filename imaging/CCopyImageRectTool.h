#pragma once

// Copies a rectangle of the picture into a new picture object: the target (the
// one selected object, else the document's first) is duplicated, the copy's
// picture cut to the part of the dragged rectangle that lies on it, and the
// copy added to the document where the part was, as the only selected object.
// One undo step.

#include "imaging/CImageRectDragTool.h"

class CCopyImageRectTool : public CImageRectDragTool
{
public:
    explicit CCopyImageRectTool(CSelectTool *pSelectTool);
    ~CCopyImageRectTool() override;

protected:
    void OnRectDragged(CDrawDocument *pDoc, CDrawView *pView, const CRect &rect,
                       CDrawObject *target) override;
};
