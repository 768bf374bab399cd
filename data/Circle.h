#pragma once

// A circle by centre and radius. Not stored: Serialize does nothing.

#include "platform/CObject.h"

class Circle : public CObject
{
    DECLARE_DYNAMIC(Circle)

public:
    Circle() = default;
    Circle(int x, int y, double radius);
    Circle(const Circle &other) = default;
    Circle &operator=(const Circle &other) = default;
    ~Circle() override;

    void Serialize(CArchive &ar) override;

    double getRadius() const { return m_radius; }
    double getDiameter() const { return 2.0 * m_radius; }
    // Pi is taken as 3.1416 throughout.
    double getCircumference() const { return 3.1416 * m_radius * 2.0; }
    double getArea() const { return m_radius * (m_radius * 3.1416); }
    double getTop() const { return m_y - m_radius; }
    double getLeft() const { return m_x - m_radius; }
    double getBottom() const { return m_y + m_radius; }
    double getRight() const { return m_x + m_radius; }
    double getX() const { return m_x; }
    double getY() const { return m_y; }

    void moveTo(double x, double y)
    {
        m_x = x;
        m_y = y;
    }

private:
    double m_x = 0.0;
    double m_y = 0.0;
    double m_radius = 1.0;
};
