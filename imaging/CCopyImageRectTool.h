#pragma once

// Copies a rectangle of the picture into a new picture object: the target (the
// one selected object, else the document's first) is duplicated, the copy's
// picture cut to the part of the dragged rectangle that lies on it, and the
// copy added to the document where the part was, as the only selected object.
// One undo step.

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

class CSelectTool;

class CCopyImageRectTool : public CDrawTool
{
public:
    explicit CCopyImageRectTool(CSelectTool *pSelectTool);
    ~CCopyImageRectTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnCancel(CDrawView *pView) override;

    bool IsDragging() const { return m_bDragging; }
    CRect GetDragRect() const;

    CSelectTool *GetSelectTool() const { return m_pSelectTool; }

private:
    CSelectTool *m_pSelectTool; // not owned
    bool m_bDragging = false;
};
