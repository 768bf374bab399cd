#include "data/CIntDataArray.h"

#include "data/ArrayArchive.h"

#include <cmath>
#include <cstdint>
#include <limits>

IMPLEMENT_SERIAL(CIntDataArray, CObject, VERSIONABLE_SCHEMA | 0)

namespace {

// (int)(v) truncating toward zero. Values outside the int range saturate and
// NaN gives 0 rather than invoking undefined behaviour.
int truncateToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<int>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<int>::min();
    return int(v);
}

enum class WindowOp { Minimum, Mean };

int windowValue(const std::vector<int> &x, size_t from, size_t count, WindowOp op)
{
    if (op == WindowOp::Minimum) {
        int m = x[from];
        for (size_t i = from + 1; i < from + count; ++i)
            m = std::min(m, x[i]);
        return m;
    }
    // Summed in 64 bits: the mean of int values always fits an int, and a
    // wrapped 32-bit sum would give a meaningless mean.
    int64_t sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += x[i];
    return int(sum / int64_t(count));
}

void slidingFilter(const std::vector<int> &x, int n, WindowOp op, std::vector<int> &out)
{
    const int size = int(x.size());
    if (n < 0 || (n >= 1 && size <= n))
        throw CInvalidArgException("filter window larger than the array");

    const size_t un = size_t(n);
    out.assign(x.size(), 0);
    // Centre: the full window of 2n + 1 values.
    for (int p = n; p < size - n; ++p)
        out[size_t(p)] = windowValue(x, size_t(p - n), 2 * un + 1, op);
    if (n == 0)
        return;
    // Head: positions 0..n-1 share the window 0..n.
    const int head = windowValue(x, 0, un + 1, op);
    for (int p = 0; p < n; ++p)
        out[size_t(p)] = head;
    // Tail: the last n positions share the window of the last n values; written
    // after the head so it wins where the two overlap.
    const int tail = windowValue(x, size_t(size - n), un, op);
    for (int p = size - n; p < size; ++p)
        out[size_t(p)] = tail;
}

} // namespace

CIntDataArray::~CIntDataArray() = default;

void CIntDataArray::Serialize(CArchive &ar)
{
    if (ar.IsStoring())
        ArrayArchive::store(ar, m_data);
    else
        ArrayArchive::loadAppend(ar, m_data);
}

void CIntDataArray::Extract(int first, int last, CIntDataArray &out) const
{
    extractTo(first, last, out);
}

void CIntDataArray::Scale(double f)
{
    for (int &v : m_data)
        v = truncateToInt(double(v) * f);
}

double CIntDataArray::GetAverageDouble() const
{
    return double(GetSum()) / double(GetSize());
}

double CIntDataArray::GetStandardDeviation() const
{
    const int size = GetSize();
    if (size < 2)
        return 0.0;
    const double mean = double(GetSum()) / double(size);
    double squares = 0.0;
    for (const int v : m_data) {
        const double d = double(v) - mean;
        squares += d * d;
    }
    return std::sqrt(squares / double(size - 1));
}

void CIntDataArray::GetMinFilter(int n, CIntDataArray &out) const
{
    std::vector<int> result;
    slidingFilter(m_data, n, WindowOp::Minimum, result);
    out.m_data = std::move(result);
}

void CIntDataArray::GetMeanFilter(int n, CIntDataArray &out) const
{
    std::vector<int> result;
    slidingFilter(m_data, n, WindowOp::Mean, result);
    out.m_data = std::move(result);
}
