#include "data/Circle.h"

IMPLEMENT_DYNAMIC(Circle, CObject)

Circle::Circle(int x, int y, double radius) : m_x(x), m_y(y), m_radius(radius) { }

Circle::~Circle() = default;

void Circle::Serialize(CArchive & /*ar*/)
{
    // Nothing is stored.
}
