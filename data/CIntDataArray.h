#pragma once

// Array of 32-bit integers (lane profiles, backgrounds) with statistics and the
// sliding-window filters. Archive form: int32 count, then count int32 values.

#include "data/CDataArray.h"

class CIntDataArray : public CDataArray<int>
{
    DECLARE_SERIAL(CIntDataArray)

public:
    CIntDataArray() = default;
    CIntDataArray(const CIntDataArray &other) = default;
    CIntDataArray &operator=(const CIntDataArray &other) = default;
    CIntDataArray(CIntDataArray &&) noexcept = default;
    CIntDataArray &operator=(CIntDataArray &&) noexcept = default;
    ~CIntDataArray() override;

    // Loading appends the stored values to what the array already holds.
    void Serialize(CArchive &ar) override;

    using CDataArray<int>::Extract;
    void Extract(int first, int last, CIntDataArray &out) const;

    // Each element becomes (int)(element * f), truncated toward zero.
    void Scale(double f);

    // (double)(integer sum) / size; an empty array gives NaN.
    double GetAverageDouble() const;
    // Sample standard deviation (divisor size - 1); 0 for fewer than two elements.
    double GetStandardDeviation() const;

    // Sliding-window minimum and integer mean over windows of 2n + 1 values;
    // the first n positions share the window 0..n and the last n the window
    // of the last n values (the tail wins where the two overlap). out may be
    // this array. Raise CInvalidArgException when n < 0 or when n >= 1 and
    // the array holds no more than n values.
    void GetMinFilter(int n, CIntDataArray &out) const;
    void GetMeanFilter(int n, CIntDataArray &out) const;
};
