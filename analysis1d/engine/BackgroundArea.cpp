#include "analysis1d/engine/BackgroundArea.h"

#include "contracts/overlay/CDrawDocument.h"

// Stored form: exactly the CDrawRectangleBound part.
IMPLEMENT_SERIAL(BackgroundArea, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

BackgroundArea::BackgroundArea() = default;

BackgroundArea::BackgroundArea(const BackgroundArea &other) = default;

BackgroundArea::BackgroundArea(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(position, bound)
{
    m_lineColor = c_lineColor;
}

BackgroundArea::~BackgroundArea() = default;

CDrawObject *BackgroundArea::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
