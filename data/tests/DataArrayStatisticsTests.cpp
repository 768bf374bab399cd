#include "data/CDataArray.h"
#include "data/CDoubleDataArray.h"
#include "data/CIntDataArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

namespace {

template<typename A, typename T> A makeArray(std::initializer_list<T> values)
{
    A a;
    for (const T v : values)
        a.Add(v);
    return a;
}

CIntDataArray ints(std::initializer_list<int> values)
{
    return makeArray<CIntDataArray>(values);
}

CDoubleDataArray doubles(std::initializer_list<double> values)
{
    return makeArray<CDoubleDataArray>(values);
}

TEST(DataArrayStatistics, MeanAndSumOfIntegerArrays)
{
    EXPECT_EQ(ints({1, 2}).GetMean(), 1);
    EXPECT_EQ(ints({-1, -2}).GetMean(), -1); // truncation toward zero, not floor
    EXPECT_EQ(ints({7, 8, 9}).GetSum(), 24);
    EXPECT_EQ(ints({}).GetMean(), 0);
    EXPECT_EQ(ints({}).GetSum(), 0);
    // Integer sums wrap around like the 32-bit machine sum.
    EXPECT_EQ(ints({INT_MAX, 1}).GetSum(), INT_MIN);
}

TEST(DataArrayStatistics, MeanOfDoubleArraysAndAverageDouble)
{
    EXPECT_DOUBLE_EQ(doubles({1.0, 2.0}).GetMean(), 1.5);
    EXPECT_EQ(doubles({}).GetMean(), 0.0);
    EXPECT_DOUBLE_EQ(ints({1, 2}).GetAverageDouble(), 1.5);
    // An empty array divides zero by zero: no exception, not a number.
    EXPECT_TRUE(std::isnan(ints({}).GetAverageDouble()));
}

TEST(DataArrayStatistics, StandardDeviationIsTheSampleDeviation)
{
    EXPECT_DOUBLE_EQ(ints({2, 4, 4, 4, 5, 5, 7, 9}).GetStandardDeviation(), std::sqrt(32.0 / 7.0));
    EXPECT_EQ(ints({42}).GetStandardDeviation(), 0.0);
    EXPECT_EQ(ints({}).GetStandardDeviation(), 0.0);
}

TEST(DataArrayStatistics, MaxAndMinReportTheFirstOccurrence)
{
    const CIntDataArray a = ints({3, 7, 1, 7, 1});
    int index = -1;
    EXPECT_EQ(a.GetMax(index), 7);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(a.GetMin(index), 1);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(a.GetMax(), 7);
    EXPECT_EQ(a.GetMin(), 1);

    const CDoubleDataArray d = doubles({-0.5, -2.5, 4.25, -2.5});
    EXPECT_EQ(d.GetMin(index), -2.5);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(d.GetMax(index), 4.25);
    EXPECT_EQ(index, 2);

    const CIntDataArray single = ints({-4});
    EXPECT_EQ(single.GetMax(index), -4);
    EXPECT_EQ(index, 0);
}

TEST(DataArrayStatistics, MaxAndMinOfAnEmptyArrayThrow)
{
    const CIntDataArray a;
    const CDoubleDataArray d;
    int index = 0;
    EXPECT_THROW(a.GetMax(), CInvalidArgException);
    EXPECT_THROW(a.GetMin(), CInvalidArgException);
    EXPECT_THROW(a.GetMax(index), CInvalidArgException);
    EXPECT_THROW(a.GetMin(index), CInvalidArgException);
    EXPECT_THROW(d.GetMax(), CInvalidArgException);
    EXPECT_THROW(d.GetMin(index), CInvalidArgException);
}

TEST(DataArrayStatistics, SignPredicates)
{
    const CIntDataArray empty;
    EXPECT_EQ(empty.IsPositive(), 1);
    EXPECT_EQ(empty.IsNegative(), 1);
    EXPECT_EQ(empty.IsNonpositive(), 1);
    EXPECT_EQ(empty.IsNonnegative(), 1);
    EXPECT_EQ(CDoubleDataArray().IsPositive(), 1);

    const CIntDataArray pos = ints({1, 2});
    EXPECT_EQ(pos.IsPositive(), 1);
    EXPECT_EQ(pos.IsNonnegative(), 1);
    EXPECT_EQ(pos.IsNegative(), 0);
    EXPECT_EQ(pos.IsNonpositive(), 0);

    const CIntDataArray withZero = ints({0, 1});
    EXPECT_EQ(withZero.IsPositive(), 0);
    EXPECT_EQ(withZero.IsNonnegative(), 1);

    const CDoubleDataArray neg = doubles({-1.0, 0.0});
    EXPECT_EQ(neg.IsNegative(), 0);
    EXPECT_EQ(neg.IsNonpositive(), 1);
    EXPECT_EQ(doubles({-1e-300}).IsNegative(), 1);
}

TEST(DataArrayExtract, CopiesTheInclusiveRange)
{
    const CIntDataArray a = ints({0, 10, 20, 30, 40, 50});
    CIntDataArray out = ints({99, 99, 99, 99, 99, 99, 99});
    a.Extract(1, 3, out);
    EXPECT_EQ(out.vector(), (std::vector<int> {10, 20, 30}));

    a.Extract(5, 5, out);
    EXPECT_EQ(out.vector(), (std::vector<int> {50}));

    // An empty range gives an empty array.
    a.Extract(2, 1, out);
    EXPECT_EQ(out.GetSize(), 0);

    // Extracting into the array itself.
    CIntDataArray self = a;
    self.Extract(2, 4, self);
    EXPECT_EQ(self.vector(), (std::vector<int> {20, 30, 40}));

    const CDoubleDataArray d = doubles({1.5, 2.5, 3.5});
    CDoubleDataArray dout;
    d.Extract(0, 1, dout);
    EXPECT_EQ(dout.vector(), (std::vector<double> {1.5, 2.5}));

    CDataArray<int> base;
    a.Extract(4, 5, base);
    EXPECT_EQ(base.vector(), (std::vector<int> {40, 50}));
}

TEST(DataArrayExtract, RangeOutsideTheArrayThrows)
{
    const CIntDataArray a = ints({1, 2, 3});
    CIntDataArray out = ints({7});
    EXPECT_THROW(a.Extract(-1, 1, out), CInvalidArgException);
    EXPECT_THROW(a.Extract(0, 3, out), CInvalidArgException);
    EXPECT_THROW(a.Extract(2, 0, out), CInvalidArgException);
    EXPECT_EQ(out.vector(), (std::vector<int> {7}));
    EXPECT_THROW(CIntDataArray().Extract(0, 0, out), CInvalidArgException);
}

TEST(DataArraySort, SortsByValueInBothDirections)
{
    CIntDataArray a = ints({3, -1, 2, 3, 0});
    a.SortIntAscending();
    EXPECT_EQ(a.vector(), (std::vector<int> {-1, 0, 2, 3, 3}));
    a.SortIntDescending();
    EXPECT_EQ(a.vector(), (std::vector<int> {3, 3, 2, 0, -1}));
    a.SortDoubleAscending();
    EXPECT_EQ(a.vector(), (std::vector<int> {-1, 0, 2, 3, 3}));

    CDoubleDataArray d = doubles({1.5, -2.0, 3.25, 0.5});
    d.SortDoubleDescending();
    EXPECT_EQ(d.vector(), (std::vector<double> {3.25, 1.5, 0.5, -2.0}));
    d.SortDoubleAscending();
    EXPECT_EQ(d.vector(), (std::vector<double> {-2.0, 0.5, 1.5, 3.25}));
    // Values differing only after the decimal point are not lumped together.
    d = doubles({0.75, 0.25, 0.5});
    d.SortIntAscending();
    EXPECT_EQ(d.vector(), (std::vector<double> {0.25, 0.5, 0.75}));
}

TEST(DataArraySort, NotANumberGoesLastWithoutUpsettingTheOrder)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CDoubleDataArray d;
    for (int i = 0; i < 100; ++i)
        d.Add(i % 7 == 0 ? nan : double((i * 37) % 101));
    d.SortDoubleDescending();
    int finite = 0;
    while (finite < d.GetSize() && !std::isnan(d[finite]))
        ++finite;
    EXPECT_EQ(finite, 100 - 15);
    for (int i = 1; i < finite; ++i)
        EXPECT_GE(d[i - 1], d[i]);
    for (int i = finite; i < d.GetSize(); ++i)
        EXPECT_TRUE(std::isnan(d[i]));
}

TEST(DataArrayScale, IntegerScaleTruncatesTowardZero)
{
    CIntDataArray a = ints({10, -10, 3, 7});
    a.Scale(0.55);
    EXPECT_EQ(a.vector(), (std::vector<int> {5, -5, 1, 3}));

    // Results beyond the int range saturate instead of being undefined.
    CIntDataArray big = ints({INT_MAX, INT_MIN, 1});
    big.Scale(2.0);
    EXPECT_EQ(big.vector(), (std::vector<int> {INT_MAX, INT_MIN, 2}));
    big = ints({5});
    big.Scale(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(big[0], 0);

    CDoubleDataArray d = doubles({1.5, -2.0});
    d.Scale(0.5);
    EXPECT_EQ(d.vector(), (std::vector<double> {0.75, -1.0}));
}

} // namespace
