#pragma once

// A rectangle kept within a bounding rectangle: moving slides it along the
// bound's edges and sizing stops at them. An empty bound constrains nothing.
// The editable flag says whether the mouse may change it: objects whose shape
// other data depend on (a finalised analysis area, for instance) clear it, and
// the selection tool then neither moves nor sizes them. Code may still move them.

#include "contracts/overlay/CDrawRectangle.h"

class CDrawRectangleBound : public CDrawRectangle
{
    DECLARE_SERIAL(CDrawRectangleBound)
public:
    CDrawRectangleBound();
    CDrawRectangleBound(const CRect &position, const CRect &bound);
    CDrawRectangleBound(const CDrawRectangleBound &other);
    ~CDrawRectangleBound() override;
    CDrawRectangleBound &operator=(const CDrawRectangleBound &other);

    CDrawObject &operator=(const CDrawObject &other) override;
    bool operator==(const CDrawObject &other) const override;

    void Serialize(CArchive &ar) override;
    // A rectangle of the current size is a move: it is shifted back inside the
    // bound (aligned with the bound's top left when it is larger). A rectangle of
    // another size is a resize: each edge is held within the bound.
    void MoveTo(const CRect &position, CDrawView *pView) override;
    CDrawObject *Clone(CDrawDocument *pDoc) override;
    bool CanBeEdited() const override;

    const CRect &GetBoundRect() const { return m_bound; }
    void SetBoundRect(const CRect &bound) { m_bound = bound; }
    bool IsEditable() const { return m_bEditable; }
    void SetEditable(bool bEditable) { m_bEditable = bEditable; }

    // The rectangle MoveTo would give for 'position'.
    CRect ConstrainToBound(const CRect &position) const;

    CRect m_bound; // same frame as m_position
    bool m_bEditable = true; // the object's editing state flag
};
