#pragma once

// Crops the picture to a rectangle dragged over it. The target is the one
// selected object, else the document's first object; only a picture object
// can be cropped, and the rectangle must meet it. The crop is one undo step
// and leaves the picture at the origin at its new size.

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

class CSelectTool;

class CCropImageTool : public CDrawTool
{
public:
    explicit CCropImageTool(CSelectTool *pSelectTool);
    ~CCropImageTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnCancel(CDrawView *pView) override;

    // Between press and release: the rectangle dragged so far (logical units,
    // normalised), for the view to draw as feedback.
    bool IsDragging() const { return m_bDragging; }
    CRect GetDragRect() const;

    CSelectTool *GetSelectTool() const { return m_pSelectTool; }

private:
    CSelectTool *m_pSelectTool; // not owned
    bool m_bDragging = false;
};
