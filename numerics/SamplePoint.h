#pragma once

// One sample of a function of two variables: position (x, y) and value.

#include "platform/Geometry.h"

class SamplePoint
{
public:
    SamplePoint() = default;
    SamplePoint(double x, double y, double value) : m_x(x), m_y(y), m_value(value) { }
    SamplePoint(const CPoint &point, double value);

    double GetX() const { return m_x; }
    double GetY() const { return m_y; }
    double GetValue() const { return m_value; }
    void SetX(double x) { m_x = x; }
    void SetY(double y) { m_y = y; }
    void SetPoint(const CPoint &point);
    void SetValue(double value) { m_value = value; }

private:
    double m_x = 0.0;
    double m_y = 0.0;
    double m_value = 0.0;
};
