#pragma once

// A horizontal strip at the dye front, the farthest point of migration. Its
// centre row is the end of migration (the dye-front row of the measurements).
// It spans the analysis area and moves only up and down.

#include "contracts/overlay/CDrawRectangleBound.h"

class DyeFront : public CDrawRectangleBound
{
    DECLARE_SERIAL(DyeFront)
public:
    DyeFront();
    DyeFront(const DyeFront &other);
    // position: the reference line in gel pixels, usually of zero height; it is
    // made into a strip 20 pixels high and 10 pixels narrower (5 each side).
    // bound: the analysis area.
    DyeFront(const CRect &position, const CRect &bound);
    ~DyeFront() override;

    // Stored form: exactly the CDrawRectangleBound part. The drawing defaults
    // and label offsets are set again after reading.
    void Serialize(CArchive &ar) override;

    // Moves vertically only: keeps the current left and right. Moved by the
    // user (a view given) after the set-up, the analysis is measured again
    // against the new row.
    void MoveTo(const CRect &position, CDrawView *pView) override;
    // The user may always move a reference line, also after the set-up has
    // cleared its editable flag (which stays the stored state).
    bool CanBeEdited() const override { return true; }
    // The label "Dye Front" 4 pixels right of and below the corner, then the strip.
    void Draw(QPainter *pDC, CDrawView *pView) override;
    // A copy with its drawing defaults set again; added to pDoc when given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;
    CRect GetAreaToBeRepainted(CDrawView *pView = nullptr) const override;

    static constexpr COLORREF c_lineColor = 0x0000FFFF; // yellow

    int m_nLabelOffsetX = 0;
    int m_nLabelOffsetY = 0;

private:
    void Init();
    CPoint LabelPosition() const;
};
