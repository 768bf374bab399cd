#pragma once

// The selection tool: a click selects the object under the mouse (shift adds
// it), a drag moves the selection, a drag on a handle of the one selected object
// sizes it, and a drag from empty space selects the objects wholly inside the
// rubber band. Moves and sizes are recorded as one undo step each, opened on the
// first movement (a plain click records nothing).

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

class CDrawObject;

class CSelectTool : public CDrawTool
{
public:
    enum SelectMode { none, netSelect, move, size };

    explicit CSelectTool(ToolType type = toolSelect);
    ~CSelectTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                         const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnRButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnEditProperties(CDrawView *pView) override;
    void OnCancel(CDrawView *pView) override;

    // What the current drag does; valid from the press until the base OnLButtonUp
    // has run (derived tools read it before calling it).
    SelectMode GetSelectMode() const { return m_selectMode; }
    int GetDragHandle() const { return m_nDragHandle; }
    // Whether the current drag changed any object.
    bool HasChanged() const { return m_bChanged; }
    // The rubber band of a net selection, logical units, normalised.
    CRect GetNetRect() const;
    // The object of the last click when it is still in the document (alignment
    // commands take it as their reference); ClearLastClickedObject forgets it.
    CDrawObject *GetLastClickedObject(CDrawDocument *pDoc) const;
    void ClearLastClickedObject() { m_pLastClicked = nullptr; }
    void ForgetObject(const CDrawObject *pObj) override;

protected:
    // Opens the undo step before the first change of a drag.
    void BeginChange(CDrawDocument *pDoc);
    void EndChange();

    SelectMode m_selectMode = none;
    int m_nDragHandle = 0;
    CDrawObject *m_pSized = nullptr; // the object being sized (not owned)
    CDrawObject *m_pLastClicked = nullptr; // not owned; checked against the document
    CDrawDocument *m_pActionDoc = nullptr; // document with an open undo step
    bool m_bChanged = false;
};
