#pragma once

// A rectangle the user draws on the gel to declare a band by hand. The analysis
// turns each one into a Band for measurement.

#include "contracts/overlay/CDrawRectangleBound.h"

class UserDrawnBand : public CDrawRectangleBound
{
    DECLARE_SERIAL(UserDrawnBand)
public:
    UserDrawnBand();
    UserDrawnBand(const UserDrawnBand &other);
    // Drawn cyan; position in gel pixels, bound: the analysis area.
    UserDrawnBand(const CRect &position, const CRect &bound);
    ~UserDrawnBand() override;

    // A copy of the same kind; added to pDoc when given.
    CDrawObject *Clone(CDrawDocument *pDoc) override;

    static constexpr COLORREF c_lineColor = 0x00FFFF00; // cyan
};
