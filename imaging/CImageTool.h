#pragma once

// The picture tools of the view. Each keeps the selection tool it was made
// with and hands it the events it does not handle itself.
//
// CImageTool: a click records the point and returns the view to the selection
// tool (a pick tool for commands that need a point on the picture).

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

class CDrawObject;
class CSelectTool;

// Tool types of the picture tools, in the numbering the overlay's and the
// analysis tools share.
enum : ToolType {
    toolImage = 8,
    toolCropImage = 9,
    toolCopyImageRect = 10,
};

class CImageTool : public CDrawTool
{
public:
    explicit CImageTool(CSelectTool *pSelectTool);
    ~CImageTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                         const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

    CSelectTool *GetSelectTool() const { return m_pSelectTool; }

    // What the crop and copy tools work on: the one selected object, else the
    // document's first object; null when there is none.
    static CDrawObject *GetTargetObject(CDrawDocument *pDoc, CDrawView *pView);
    // The part of 'logical' (normalised, in logical units) that lies on the
    // picture object 'position', in the picture's own pixels ('imageSize').
    // Empty when they do not meet.
    static CRect LogicalToImageRect(const CRect &logical, const CRect &position,
                                    const CSize &imageSize);

protected:
    CSelectTool *m_pSelectTool; // not owned: the view owns its tools
};
