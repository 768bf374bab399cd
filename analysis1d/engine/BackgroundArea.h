#pragma once

// A rectangle the user may draw to mark a background region of the gel. It is
// drawn (no label), moved and stored; no measurement reads it.

#include "contracts/overlay/CDrawRectangleBound.h"

class BackgroundArea : public CDrawRectangleBound
{
    DECLARE_SERIAL(BackgroundArea)
public:
    BackgroundArea();
    BackgroundArea(const BackgroundArea &other);
    // Drawn red; bound: the analysis area.
    BackgroundArea(const CRect &position, const CRect &bound);
    ~BackgroundArea() override;

    // A copy of the same kind (not a plain rectangle), so templates, undo and
    // the clipboard keep it a background area; added to pDoc when given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    static constexpr COLORREF c_lineColor = 0x000000FF; // red
};
