#include "analysis1d/engine/ExampleBand.h"

#include "contracts/overlay/CDrawDocument.h"

IMPLEMENT_SERIAL(ExampleBand, CDrawRectangleBound, VERSIONABLE_SCHEMA | 0)

ExampleBand::ExampleBand() = default;

ExampleBand::ExampleBand(const ExampleBand &other)
    : CDrawRectangleBound(other), m_visible(other.m_visible)
{ }

ExampleBand::ExampleBand(const CRect &position, const CRect &bound)
    : CDrawRectangleBound(position, bound)
{
    m_lineColor = c_lineColor;
}

ExampleBand::~ExampleBand() = default;

ExampleBand &ExampleBand::operator=(const ExampleBand &other)
{
    copy(other);
    return *this;
}

CDrawObject &ExampleBand::operator=(const CDrawObject &other)
{
    if (const auto *band = dynamic_cast<const ExampleBand *>(&other)) {
        copy(*band);
        return *this;
    }
    return CDrawRectangleBound::operator=(other);
}

void ExampleBand::copy(const ExampleBand &other)
{
    if (this == &other)
        return;
    CDrawRectangleBound::operator=(other);
    m_visible = other.m_visible;
}

void ExampleBand::Draw(QPainter *pDC, CDrawView *pView)
{
    if (m_visible)
        CDrawRectangleBound::Draw(pDC, pView);
}

bool ExampleBand::CanBeSelected() const
{
    return m_visible != 0;
}

CDrawObject *ExampleBand::Clone(CDrawDocument *pDoc)
{
    return CloneAs(*this, pDoc);
}
