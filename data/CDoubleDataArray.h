#pragma once

// Array of doubles (regression samples and coefficients). Archive form: int32
// count, then count IEEE doubles.

#include "data/CDataArray.h"

class CDoubleDataArray : public CDataArray<double>
{
    DECLARE_SERIAL(CDoubleDataArray)

public:
    CDoubleDataArray() = default;
    CDoubleDataArray(const CDoubleDataArray &other) = default;
    CDoubleDataArray &operator=(const CDoubleDataArray &other) = default;
    CDoubleDataArray(CDoubleDataArray &&) noexcept = default;
    CDoubleDataArray &operator=(CDoubleDataArray &&) noexcept = default;
    ~CDoubleDataArray() override;

    // Loading appends the stored values to what the array already holds.
    void Serialize(CArchive &ar) override;

    using CDataArray<double>::Extract;
    void Extract(int first, int last, CDoubleDataArray &out) const;

    // Each element is multiplied by f.
    void Scale(double f);
};
