#pragma once

// Array of plain numbers (int or double) with whole-array statistics, extraction
// and sorting. Stored in the classic CArray form inherited from CArray<T>; the
// typed arrays (CIntDataArray, CDoubleDataArray) have their own compact form.

#include "platform/CArray.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

template<typename T> class CDataArray : public CArray<T>
{
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, double>,
                  "CDataArray holds int or double values");

public:
    CDataArray() = default;
    CDataArray(const CDataArray &other) = default;
    CDataArray &operator=(const CDataArray &other) = default;
    CDataArray(CDataArray &&) noexcept = default;
    CDataArray &operator=(CDataArray &&) noexcept = default;
    ~CDataArray() override = default;

    // out receives elements first..last inclusive (out may be this array).
    void Extract(int first, int last, CDataArray &out) const { extractTo(first, last, out); }

    // Both comparison forms sort by value; NaNs go to the end in either direction
    // so the comparison stays a strict ordering.
    void SortIntAscending() { sortAscending(); }
    void SortIntDescending() { sortDescending(); }
    void SortDoubleAscending() { sortAscending(); }
    void SortDoubleDescending() { sortDescending(); }

    // 1 when every element qualifies (an empty array qualifies), else 0.
    int IsPositive() const
    {
        return allOf([](T v) { return v > T(0); });
    }
    int IsNegative() const
    {
        return allOf([](T v) { return v < T(0); });
    }
    int IsNonpositive() const
    {
        return allOf([](T v) { return v <= T(0); });
    }
    int IsNonnegative() const
    {
        return allOf([](T v) { return v >= T(0); });
    }

    // Integer sums wrap around on overflow (done in unsigned arithmetic, where
    // wrapping is defined).
    T GetSum() const
    {
        if constexpr (std::is_same_v<T, int>) {
            uint32_t sum = 0;
            for (const int v : this->m_data)
                sum += uint32_t(v);
            return int(int32_t(sum));
        } else {
            double sum = 0.0;
            for (const double v : this->m_data)
                sum += v;
            return sum;
        }
    }

    // For int arrays the division truncates toward zero; 0 for an empty array.
    T GetMean() const
    {
        if (this->m_data.empty())
            return T(0);
        return GetSum() / T(this->GetSize());
    }

    T GetMax() const
    {
        int index = 0;
        return GetMax(index);
    }
    T GetMin() const
    {
        int index = 0;
        return GetMin(index);
    }
    // index receives the first position of the extreme value.
    T GetMax(int &index) const
    {
        return extreme(index, [](T candidate, T current) { return candidate > current; });
    }
    T GetMin(int &index) const
    {
        return extreme(index, [](T candidate, T current) { return candidate < current; });
    }

protected:
    template<typename Out> void extractTo(int first, int last, Out &out) const
    {
        if (first < 0 || last >= this->GetSize() || last < first - 1)
            throw CInvalidArgException("Extract: range out of bounds");
        // Copied through a temporary so that extracting into this array works.
        std::vector<T> part(this->m_data.begin() + first, this->m_data.begin() + last + 1);
        out.vector() = std::move(part);
    }

private:
    template<typename Pred> int allOf(Pred pred) const
    {
        return std::all_of(this->m_data.begin(), this->m_data.end(), pred) ? 1 : 0;
    }

    template<typename Better> T extreme(int &index, Better better) const
    {
        if (this->m_data.empty())
            throw CInvalidArgException("GetMax/GetMin of an empty array");
        index = 0;
        T best = this->m_data[0];
        for (int i = 1; i < this->GetSize(); ++i) {
            if (better(this->m_data[size_t(i)], best)) {
                best = this->m_data[size_t(i)];
                index = i;
            }
        }
        return best;
    }

    static bool isNan(T v)
    {
        if constexpr (std::is_floating_point_v<T>)
            return std::isnan(v);
        else
            return false;
    }

    void sortAscending()
    {
        std::sort(this->m_data.begin(), this->m_data.end(),
                  [](T a, T b) { return !isNan(a) && (isNan(b) || a < b); });
    }
    void sortDescending()
    {
        std::sort(this->m_data.begin(), this->m_data.end(),
                  [](T a, T b) { return !isNan(a) && (isNan(b) || a > b); });
    }
};
