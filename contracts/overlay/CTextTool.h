#pragma once

// Draws a text box: the drag gives its rectangle (as for the rectangle tool),
// then the text is asked for. The text height reads well at the zoom it was
// written at and zooms with the picture from then on.

#include "contracts/overlay/CRectTool.h"

class CTextTool : public CRectTool
{
public:
    // Screen height of a new text at the zoom it is written at.
    static constexpr int c_nScreenTextHeight = 16;

    explicit CTextTool(ToolType type = toolText);
    ~CTextTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;

protected:
    CDrawObject *CreateDrawObject(const CRect &rect) override;

private:
    float m_fZoom = 1.0f; // zoom of the view the text is drawn in
};
