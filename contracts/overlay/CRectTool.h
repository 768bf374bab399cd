#pragma once

// Draws rectangle-family objects: the press creates an empty object at the point,
// the drag sizes it by its bottom-right handle, the release normalises it. An
// object smaller than 5 units in both directions is discarded and the click goes
// to the selection tool; a click that did not move also makes the selection tool
// current again. Derived tools create their own kinds through CreateDrawObject.

#include "contracts/overlay/CDrawTool.h"

#include "platform/Geometry.h"

#include <QString>

class CDrawObject;

class CRectTool : public CDrawTool
{
public:
    // Smallest size (either direction) a drawn object keeps.
    static constexpr int c_nMinimumSize = 5;

    explicit CRectTool(ToolType type = toolRect);
    ~CRectTool() override;

    void OnLButtonDown(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                       const CPoint &point) override;
    void OnLButtonDblClk(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                         const CPoint &point) override;
    void OnLButtonUp(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnMouseMove(CDrawDocument *pDoc, CDrawView *pView, unsigned nFlags,
                     const CPoint &point) override;
    void OnCancel(CDrawView *pView) override;
    void ForgetObject(const CDrawObject *pObj) override;

    // The object being drawn, null between drawings.
    CDrawObject *GetNewObject() const { return m_pNewObject; }

protected:
    // A new object for the logical rectangle; the tool adds it to the document.
    virtual CDrawObject *CreateDrawObject(const CRect &rect);

    CDrawObject *m_pNewObject = nullptr; // owned by the document once added
    CDrawDocument *m_pDoc = nullptr; // document of the drawing in progress
    // Whether a drawing is recorded as an undo step.
    bool m_bUndoable = true;
    QString m_strDownCaption = QStringLiteral("CRectTool::OnLButtonDown");
    QString m_strUpCaption = QStringLiteral("CRectTool::OnLButtonUp");
};
