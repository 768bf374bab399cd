#pragma once

// A fixed-length array of ints, the integer companion of Vector (used for
// outlier marks). Indices are 0-based; the Fast accessors skip the check.

#include <memory>

class VectorInt
{
public:
    VectorInt();
    explicit VectorInt(int count, int value = 0);
    VectorInt(const VectorInt &other);
    VectorInt &operator=(const VectorInt &other);
    virtual ~VectorInt();

    int GetCount() const { return m_count; }
    void SetCount(int count); // keeps the leading elements, new ones are 0

    int &operator[](int i);
    int operator[](int i) const;
    int &operator()(int i) { return (*this)[i]; }
    int operator()(int i) const { return (*this)[i]; }
    int GetAt(int i) const;
    int FastGetAt(int i) const { return m_data[i]; }
    void SetAt(int i, int value);
    void FastSetAt(int i, int value) { m_data[i] = value; }
    int *GetAtPointer(int i);
    int *GetData() { return m_data.get(); }
    const int *GetData() const { return m_data.get(); }
    void SetAll(int value);

    int CalculateSum() const;
    std::unique_ptr<VectorInt> Clone() const;
    void Copy(const VectorInt &other);
    void Dump() const;

private:
    int check(int i) const;

    int m_count = 0;
    std::unique_ptr<int[]> m_data;
};
