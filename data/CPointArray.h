#pragma once

// Array of points (band and lane outlines). Archive form: int32 count, then
// count pairs of int32 (x, y).

#include "platform/CArray.h"
#include "platform/Geometry.h"

class CPointArray : public CArray<CPoint>
{
    DECLARE_SERIAL(CPointArray)

public:
    CPointArray() = default;
    CPointArray(const CPointArray &other) = default;
    CPointArray &operator=(const CPointArray &other) = default;
    CPointArray(CPointArray &&) noexcept = default;
    CPointArray &operator=(CPointArray &&) noexcept = default;
    ~CPointArray() override;

    // Loading appends the stored points to what the array already holds.
    void Serialize(CArchive &ar) override;

    // The points in reverse order.
    void reverseOrder();

    // In place, for p = n .. N-n-1 in increasing order: y[p] becomes the
    // truncated mean of y[p-n .. p+n], so each window already sees the smoothed
    // values before p. x is untouched, as are the n points at either end.
    // Raises CInvalidArgException when n < 0.
    void smoothenYvalues(int n);
};
