#pragma once

// Places a label: a click asks for the text and puts it with its top left
// corner at the point, sized to the text. The text height reads well at the
// zoom it was written at. One undo step; the view returns to the selection
// tool.

#include "contracts/overlay/CDrawTool.h"

class CLabelTool : public CDrawTool
{
public:
    static constexpr int c_nScreenTextHeight = 16;

    explicit CLabelTool(ToolType type = toolLabel);
    ~CLabelTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

private:
    bool m_bPressed = false;
};
