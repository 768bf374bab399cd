#pragma once

// A view of a drawing document, independent of any window system: it converts
// between logical units (image pixels) and the screen, keeps the selection, owns
// the tools and hands mouse events to the current one. A widget view supplies the
// zoom, the scroll position and repainting; COffscreenDrawView does so for tests
// and off-screen rendering.

#include "contracts/overlay/CDrawObjList.h"
#include "contracts/overlay/CDrawTool.h"

#include "platform/CObject.h"
#include "platform/Geometry.h"

#include <Qt>
#include <memory>
#include <vector>

class CDrawDocument;
class CDrawObject;
class QPainter;

class CDrawView : public CObject
{
    DECLARE_DYNAMIC(CDrawView)
public:
    // Hints passed by CDrawDocument::UpdateAllViews to OnUpdate.
    enum UpdateHint {
        HintUpdateAll = 0, // repaint everything
        HintUpdateObject = 1, // repaint the hint object (a CDrawObject)
        HintUpdateSelection = 2, // repaint the selected objects
        HintDeleteObject = 3, // the hint object leaves the document: drop it from the selection
        HintDeselect = 1002 // the selection is about to be emptied: repaint what is selected
    };

    CDrawView();
    ~CDrawView() override;
    CDrawView(const CDrawView &) = delete;
    CDrawView &operator=(const CDrawView &) = delete;

    // Registers the view with the document (and leaves the previous one).
    void SetDocument(CDrawDocument *pDoc);
    CDrawDocument *GetDocument() const { return m_pDocument; }

    // Screen pixels per image pixel.
    virtual float GetZoomFactor() const = 0;
    // Scroll position in screen pixels (top left of the visible part).
    virtual CPoint GetScrollPosition() const = 0;
    // Repaints a rectangle given in screen coordinates (scroll applied).
    virtual void InvalidateScreenRect(const CRect &rect) = 0;
    // Repaints the whole view.
    virtual void InvalidateView() = 0;
    // Cursor feedback of the tools; a window-less view ignores it.
    virtual void SetViewCursor(Qt::CursorShape shape);

    // x' = round(x * zoom), minus the scroll position when bAddScroll; rounding is
    // floor(v + 0.5) in single precision.
    virtual void Logical2Screen(CPoint &point, bool bAddScroll) const;
    virtual void Logical2Screen(CRect &rect, bool bAddScroll) const;
    // x' = floor((x + scroll) / zoom + 0.5), the scroll added only when bAddScroll.
    virtual void Screen2Logical(CPoint &point, bool bAddScroll) const;
    virtual void Screen2Logical(CRect &rect, bool bAddScroll) const;

    // Repaints an object's area (GetAreaToBeRepainted) in this view.
    virtual void InvalObject(CDrawObject *pObj);
    virtual void OnUpdate(CDrawView *pSender, int nHint, CObject *pHint);

    // Selection (the list does not own its objects).
    virtual bool IsObjectSelected(const CDrawObject *pObj) const;
    // Objects that cannot be selected are ignored. Without bAdd the selection is
    // emptied first (after the HintDeselect update).
    virtual void SelectObject(CDrawObject *pObj, bool bAdd = false);
    // Selects every selectable object of the document lying wholly within the
    // logical rectangle; without bAdd the previous selection is dropped.
    virtual void SelectObjectWithinRect(CRect rect, bool bAdd = false);
    virtual void DeselectObject(CDrawObject *pObj);
    virtual void DeselectAllObjects();
    CDrawObjList &GetSelectedObjects() { return m_selection; }
    const CDrawObjList &GetSelectedObjects() const { return m_selection; }

    // Set by tools that change the current tool; what it means is the view's affair.
    bool ToolJustSelected() const { return m_bToolJustSelected; }
    void SetToolJustSelected(bool bSelected) { m_bToolJustSelected = bSelected; }

    // Tools: the view owns them; one is current.
    void AddTool(std::unique_ptr<CDrawTool> tool);
    CDrawTool *FindTool(ToolType type) const;
    void Destroytools();
    // Tells every tool an object is leaving the document (null: all of them).
    void ForgetInTools(const CDrawObject *pObj);
    virtual void SetCurrentToolType(ToolType type);
    ToolType GetCurrentToolType() const { return m_currentTool; }
    CDrawTool *GetCurrentTool() const { return FindTool(m_currentTool); }

    // Mouse and key events in screen (client) coordinates: converted to logical
    // units with the scroll added and handed to the current tool.
    void OnLButtonDown(unsigned nFlags, CPoint screenPoint);
    void OnLButtonDblClk(unsigned nFlags, CPoint screenPoint);
    void OnLButtonUp(unsigned nFlags, CPoint screenPoint);
    void OnRButtonDown(unsigned nFlags, CPoint screenPoint);
    void OnMouseMove(unsigned nFlags, CPoint screenPoint);
    void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags);

    // Draws every object of the document in list order, then the selection.
    // The painter's origin is the logical origin on the screen (the caller
    // translates it by the scroll position).
    virtual void OnDraw(QPainter *pDC);
    // Draws the trackers of the selected objects.
    virtual void DrawSelectedFeature(QPainter *pDC);

protected:
    CDrawDocument *m_pDocument = nullptr;
    CDrawObjList m_selection;
    bool m_bToolJustSelected = false;
    std::vector<std::unique_ptr<CDrawTool>> m_tools;
    ToolType m_currentTool = toolSelect;

private:
    friend class CDrawDocument;
    CPoint ToLogical(CPoint screenPoint) const;
};
