#pragma once

// The rectangle the user draws around one typical band. Band detection reads
// its height as the expected band size, and the lane and beam widths come from
// its width. It is hidden once the set-up wizard ends.

#include "contracts/overlay/CDrawRectangleBound.h"

class ExampleBand : public CDrawRectangleBound
{
    DECLARE_SERIAL(ExampleBand)
public:
    ExampleBand();
    ExampleBand(const ExampleBand &other);
    // Drawn cyan; position in gel pixels, bound: the analysis area.
    ExampleBand(const CRect &position, const CRect &bound);
    ~ExampleBand() override;

    ExampleBand &operator=(const ExampleBand &other);
    CDrawObject &operator=(const CDrawObject &other) override;
    // Copies the rectangle, its drawing state and the visible flag.
    void copy(const ExampleBand &other);

    // Stored form: exactly the CDrawRectangleBound part (the visible flag is not
    // stored, so a band read back is visible).

    // The rectangle, only while visible.
    void Draw(QPainter *pDC, CDrawView *pView) override;
    // A hidden band cannot be picked: the user would select, drag or delete a
    // shape they cannot see (and without it the analysis cannot be saved).
    bool CanBeSelected() const override;
    // A copy of the same kind, visible flag included; added to pDoc when given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    static constexpr COLORREF c_lineColor = 0x00FFFF00; // cyan

    int m_visible = 1;
};
