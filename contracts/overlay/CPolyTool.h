#pragma once

// Draws a polygon click by click: the first press starts it, each further
// press fixes a corner, the mouse drags the next corner along, and a
// double-click ends it. A polygon of fewer than three corners is dropped, and
// Escape drops the one being drawn. One undo step per polygon.

#include "contracts/overlay/CDrawTool.h"

class CDrawPolygon;

class CPolyTool : public CDrawTool
{
public:
    explicit CPolyTool(ToolType type = toolPoly);
    ~CPolyTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                         const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnCancel(CDrawView *pView) override;
    // The polygon being drawn left the document (deleted, undone, or the
    // document emptied): the next press starts a new one.
    void ForgetObject(const CDrawObject *pObj) override;

    // The polygon being drawn, null between polygons.
    CDrawPolygon *GetPolygon() const { return m_pPolygon; }

private:
    void Finish(CDrawView *pView);
    void Drop(CDrawView *pView);

    CDrawPolygon *m_pPolygon = nullptr; // owned by the document once added
    CDrawDocument *m_pDoc = nullptr;
};
