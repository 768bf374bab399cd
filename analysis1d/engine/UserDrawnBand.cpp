#include "analysis1d/engine/UserDrawnBand.h"

#include "contracts/overlay/CDrawDocument.h"

// Stored form: exactly the CDrawRectangleBound part.
IMPLEMENT_SERIAL(UserDrawnBand, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

UserDrawnBand::UserDrawnBand() = default;

UserDrawnBand::UserDrawnBand(const UserDrawnBand &other) = default;

UserDrawnBand::UserDrawnBand(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(position, bound)
{
    m_lineColor = c_lineColor;
}

UserDrawnBand::~UserDrawnBand() = default;

CDrawObject *UserDrawnBand::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
