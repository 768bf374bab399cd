#include "numerics/SamplePoint.h"

SamplePoint::SamplePoint(const CPoint &point, double value)
    : m_x(point.x), m_y(point.y), m_value(value)
{ }

void SamplePoint::SetPoint(const CPoint &point)
{
    m_x = point.x;
    m_y = point.y;
}
