#pragma once

// A mouse tool of the drawing view. Events arrive as plain calls with the
// document, the view, the key flags and the point in logical units, so tools
// work without a window (tests) as well as behind the widget view.

#include "platform/Geometry.h"

class CDrawDocument;
class CDrawObject;
class CDrawView;

// Identifies a tool. The overlay's tools and the analysis tools share one numbering.
using ToolType = int;
enum : ToolType {
    toolSelect = 0,
    toolRect = 1,
    toolRoundRect = 2,
    toolEllipse = 3,
    toolLine = 4,
    toolPoly = 5,
    toolText = 6,
    toolLabel = 7,
};

// Key and button state flags of mouse events.
inline constexpr unsigned MK_LBUTTON = 0x0001;
inline constexpr unsigned MK_RBUTTON = 0x0002;
inline constexpr unsigned MK_SHIFT = 0x0004;
inline constexpr unsigned MK_CONTROL = 0x0008;

// Key codes tools react to.
inline constexpr unsigned VK_ESCAPE = 0x1B;

class CDrawTool
{
public:
    explicit CDrawTool(ToolType type);
    virtual ~CDrawTool();
    CDrawTool(const CDrawTool &) = delete;
    CDrawTool &operator=(const CDrawTool &) = delete;

    ToolType GetToolType() const { return m_toolType; }

    // The base handlers record the press and last positions (and the base mouse
    // move shows the arrow cursor).
    virtual void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                               const CPoint &point);
    virtual void OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                                 const CPoint &point);
    virtual void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                             const CPoint &point);
    virtual void OnRButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                               const CPoint &point);
    virtual void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                             const CPoint &point);
    // Escape cancels.
    virtual void OnKeyDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nChar, unsigned nRepCnt,
                           unsigned nFlags);
    virtual void OnEditProperties(CDrawView *pView);
    // Abandons what the tool is doing and returns the view to the selection tool.
    virtual void OnCancel(CDrawView *pView);
    // An object is leaving the document (null: every object is), so a tool
    // that holds it must let go; it may be destroyed right after.
    virtual void ForgetObject(const CDrawObject *pObj);

    // Press and last mouse positions in logical units, shared by all tools.
    static CPoint c_pntDown;
    static CPoint c_pntLast;
    // The same two positions on the screen (scroll applied), for drawing feedback.
    static CPoint c_from;
    static CPoint c_to;
    // Key flags of the last press.
    static unsigned c_nDownFlags;

protected:
    ToolType m_toolType;
};
