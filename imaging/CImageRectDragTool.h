#pragma once

// The picture tools that work on a rectangle dragged over the picture (crop,
// copy a rectangle). The press starts the drag and tells the view a tool has
// just been selected; moving hands the event to the selection tool, shows the
// cross cursor and repaints the dragged rectangle; the release gives the
// derived tool the normalised rectangle and the target (the one selected
// object, else the document's first), then hands the release to the
// selection tool.

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

class CDrawObject;
class CSelectTool;

class CImageRectDragTool : public CDrawTool
{
public:
    CImageRectDragTool(ToolType type, CSelectTool *pSelectTool);
    ~CImageRectDragTool() override;

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

protected:
    // The drag ended on 'rect' (normalised, logical units) over 'target'.
    virtual void OnRectDragged(CDrawDocument *pDoc, CDrawView *pView, const CRect &rect,
                               CDrawObject *target)
        = 0;

private:
    CSelectTool *m_pSelectTool; // not owned: the view owns its tools
    bool m_bDragging = false;
};
