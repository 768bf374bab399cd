#pragma once

// One lane found by the lane detector: its first and last column in the
// analysis image.

#include "platform/CObject.h"

#include <cstdint>

class HorizontalBoundary : public CObject
{
    DECLARE_DYNAMIC(HorizontalBoundary)

public:
    HorizontalBoundary() = default;
    HorizontalBoundary(int left, int right) : m_left(left), m_right(right) { }
    HorizontalBoundary(const HorizontalBoundary &other) = default;
    HorizontalBoundary &operator=(const HorizontalBoundary &other) = default;
    ~HorizontalBoundary() override;

    int GetLeft() const { return m_left; }
    int GetRight() const { return m_right; }
    void SetLeft(int left) { m_left = left; }
    void SetRight(int right) { m_right = right; }

    bool operator==(const HorizontalBoundary &other) const
    {
        return m_left == other.m_left && m_right == other.m_right;
    }

private:
    int32_t m_left = 0;
    int32_t m_right = 0;
};
