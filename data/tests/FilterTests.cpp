#include "data/CIntDataArray.h"
#include "data/CPointArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <vector>

namespace {

CIntDataArray ints(std::initializer_list<int> values)
{
    CIntDataArray a;
    for (const int v : values)
        a.Add(v);
    return a;
}

std::vector<int> minFilter(const CIntDataArray &a, int n)
{
    CIntDataArray out = ints({-7, -7});
    a.GetMinFilter(n, out);
    return out.vector();
}

std::vector<int> meanFilter(const CIntDataArray &a, int n)
{
    CIntDataArray out;
    a.GetMeanFilter(n, out);
    return out.vector();
}

using V = std::vector<int>;

TEST(SlidingFilters, CentreHeadAndTailWindows)
{
    const CIntDataArray a = ints({5, 3, 8, 1, 9, 2, 7});
    // Head: min of x[0..n]; tail: min of the last n values only.
    EXPECT_EQ(minFilter(a, 1), (V {3, 3, 1, 1, 1, 2, 7}));
    EXPECT_EQ(minFilter(a, 2), (V {3, 3, 1, 1, 1, 2, 2}));
    EXPECT_EQ(meanFilter(a, 1), (V {4, 5, 4, 6, 4, 6, 7}));
}

TEST(SlidingFilters, ZeroWindowCopies)
{
    const CIntDataArray a = ints({4, -2, 9, 0});
    EXPECT_EQ(minFilter(a, 0), a.vector());
    EXPECT_EQ(meanFilter(a, 0), a.vector());
    EXPECT_EQ(minFilter(CIntDataArray(), 0), V {});
}

TEST(SlidingFilters, OnlyTheMiddleIsCentreWhenSizeIs2nPlus1)
{
    const CIntDataArray a = ints({10, 20, 30, 40, 50});
    // Head = mean(10, 20, 30), centre = mean of all, tail = mean(40, 50).
    EXPECT_EQ(meanFilter(a, 2), (V {20, 20, 30, 45, 45}));
    EXPECT_EQ(minFilter(ints({5, 9, 8, 6, 7}), 2), (V {5, 5, 5, 6, 6}));
}

TEST(SlidingFilters, TailWinsWhereHeadAndTailOverlap)
{
    const CIntDataArray a = ints({10, 20, 30, 40, 50});
    // n = 3, N = 5: head covers 0..2, tail 2..4; position 2 takes the tail value.
    EXPECT_EQ(meanFilter(a, 3), (V {25, 25, 40, 40, 40}));
    EXPECT_EQ(minFilter(a, 3), (V {10, 10, 30, 30, 30}));
    // N = 2n: head 0..n-1 and tail n..N-1 meet without a centre.
    EXPECT_EQ(minFilter(ints({4, 2, 6, 8}), 2), (V {2, 2, 6, 6}));
    // Smallest accepted size N = n + 1.
    EXPECT_EQ(meanFilter(ints({3, 1, 2}), 2), (V {2, 1, 1}));
}

TEST(SlidingFilters, WindowReachingPastTheEndThrows)
{
    CIntDataArray out = ints({1});
    EXPECT_THROW(ints({1, 2, 3}).GetMinFilter(3, out), CInvalidArgException);
    EXPECT_THROW(ints({1}).GetMeanFilter(1, out), CInvalidArgException);
    EXPECT_THROW(CIntDataArray().GetMinFilter(1, out), CInvalidArgException);
    EXPECT_THROW(ints({1, 2, 3}).GetMeanFilter(-1, out), CInvalidArgException);
    EXPECT_EQ(out.vector(), V {1});
}

TEST(SlidingFilters, MeanTruncatesTowardZero)
{
    EXPECT_EQ(meanFilter(ints({0, 1, 1, 5}), 1), (V {0, 0, 2, 5}));
    // -3 / 2 is -1 (truncated), not -2 (floored).
    EXPECT_EQ(meanFilter(ints({-1, -2, 0}), 1), (V {-1, -1, 0}));
    // Large values do not overflow the window sum.
    EXPECT_EQ(meanFilter(ints({INT_MAX, INT_MAX, INT_MAX}), 1), (V {INT_MAX, INT_MAX, INT_MAX}));
}

TEST(SlidingFilters, OutputMayBeTheSourceArray)
{
    CIntDataArray a = ints({5, 3, 8, 1, 9, 2, 7});
    a.GetMinFilter(1, a);
    EXPECT_EQ(a.vector(), (V {3, 3, 1, 1, 1, 2, 7}));
    a = ints({10, 20, 30, 40, 50});
    a.GetMeanFilter(2, a);
    EXPECT_EQ(a.vector(), (V {20, 20, 30, 45, 45}));
}

CPointArray points(std::initializer_list<int> ys)
{
    CPointArray a;
    int x = 100;
    for (const int y : ys)
        a.Add(CPoint(x++, y));
    return a;
}

std::vector<int> yValues(const CPointArray &a)
{
    std::vector<int> ys;
    for (const CPoint &p : a)
        ys.push_back(p.y);
    return ys;
}

TEST(PointSmoothing, WorksInPlaceOverAlreadySmoothedValues)
{
    CPointArray a = points({0, 3, 0, 3, 0});
    a.smoothenYvalues(1);
    EXPECT_EQ(yValues(a), (V {0, 1, 1, 1, 0}));
    for (int i = 0; i < a.GetSize(); ++i)
        EXPECT_EQ(a[i].x, 100 + i);

    // Quotients truncate toward zero.
    a = points({0, -2, 0});
    a.smoothenYvalues(1);
    EXPECT_EQ(yValues(a), (V {0, 0, 0}));

    a = points({9, 0, 0, 0, 0, 9});
    a.smoothenYvalues(2);
    EXPECT_EQ(yValues(a), (V {9, 0, 1, 2, 0, 9}));
}

TEST(PointSmoothing, ShortArraysAndZeroWindowAreUnchanged)
{
    CPointArray a = points({1, 5, 2});
    a.smoothenYvalues(0);
    EXPECT_EQ(yValues(a), (V {1, 5, 2}));
    a.smoothenYvalues(2);
    EXPECT_EQ(yValues(a), (V {1, 5, 2}));
    CPointArray empty;
    empty.smoothenYvalues(3);
    EXPECT_EQ(empty.GetSize(), 0);
    EXPECT_THROW(a.smoothenYvalues(-1), CInvalidArgException);
}

TEST(PointSmoothing, ReverseOrder)
{
    CPointArray a;
    a.Add(CPoint(1, 2));
    a.Add(CPoint(3, 4));
    a.Add(CPoint(5, 6));
    a.reverseOrder();
    ASSERT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[0], CPoint(5, 6));
    EXPECT_EQ(a[1], CPoint(3, 4));
    EXPECT_EQ(a[2], CPoint(1, 2));
}

} // namespace
