#include "analysis1d/engine/ExtremeMeans.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdint>

ExtremeMeans::ExtremeMeans(std::vector<int> &values, int k)
{
    const auto n = std::ptrdiff_t(values.size());
    if (k < 1 || n < k)
        throw CInvalidArgException("ExtremeMeans: fewer values than asked for");
    // After each selection the k values on one side are that side's k
    // extremes in some order, and a sum does not care about the order.
    std::nth_element(values.begin(), values.begin() + (k - 1), values.end());
    int64_t lowSum = 0;
    for (std::ptrdiff_t i = 0; i < k; ++i)
        lowSum += values[size_t(i)];
    std::nth_element(values.begin(), values.begin() + (n - k), values.end());
    int64_t highSum = 0;
    for (std::ptrdiff_t i = n - k; i < n; ++i)
        highSum += values[size_t(i)];
    m_low = int(lowSum / k);
    m_high = int(highSum / k);
}
