#pragma once

// Crops the picture to a rectangle dragged over it. The target is the one
// selected object, else the document's first object; only a picture object
// can be cropped, and the rectangle must meet it. The crop is one undo step
// and leaves the picture at the origin at its new size.

#include "imaging/CImageRectDragTool.h"

class CCropImageTool : public CImageRectDragTool
{
public:
    explicit CCropImageTool(CSelectTool *pSelectTool);
    ~CCropImageTool() override;

protected:
    void OnRectDragged(CDrawDocument *pDoc, CDrawView *pView, const CRect &rect,
                       CDrawObject *target) override;
};
