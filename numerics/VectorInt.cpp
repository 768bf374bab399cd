#include "numerics/VectorInt.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdio>

VectorInt::VectorInt() = default;

VectorInt::VectorInt(int count, int value)
{
    SetCount(count);
    SetAll(value);
}

VectorInt::VectorInt(const VectorInt &other)
{
    Copy(other);
}

VectorInt &VectorInt::operator=(const VectorInt &other)
{
    Copy(other);
    return *this;
}

VectorInt::~VectorInt() = default;

void VectorInt::SetCount(int count)
{
    if (count < 0)
        throw CInvalidArgException("VectorInt::SetCount: negative count");
    std::unique_ptr<int[]> data(new int[size_t(count)]());
    std::copy_n(m_data.get(), std::min(count, m_count), data.get());
    m_data = std::move(data);
    m_count = count;
}

int VectorInt::check(int i) const
{
    if (i < 0 || i >= m_count)
        throw CInvalidArgException("VectorInt: index out of range");
    return i;
}

int &VectorInt::operator[](int i)
{
    return m_data[check(i)];
}

int VectorInt::operator[](int i) const
{
    return m_data[check(i)];
}

int VectorInt::GetAt(int i) const
{
    return m_data[check(i)];
}

void VectorInt::SetAt(int i, int value)
{
    m_data[check(i)] = value;
}

int *VectorInt::GetAtPointer(int i)
{
    return &m_data[check(i)];
}

void VectorInt::SetAll(int value)
{
    std::fill_n(m_data.get(), m_count, value);
}

int VectorInt::CalculateSum() const
{
    int sum = 0;
    for (int i = 0; i < m_count; ++i)
        sum += m_data[i];
    return sum;
}

std::unique_ptr<VectorInt> VectorInt::Clone() const
{
    return std::make_unique<VectorInt>(*this);
}

void VectorInt::Copy(const VectorInt &other)
{
    if (&other == this)
        return;
    std::unique_ptr<int[]> data(new int[size_t(other.m_count)]);
    std::copy_n(other.m_data.get(), other.m_count, data.get());
    m_data = std::move(data);
    m_count = other.m_count;
}

void VectorInt::Dump() const
{
    for (int i = 0; i < m_count; ++i)
        std::printf("%d ", m_data[i]);
    std::printf("\n");
}
