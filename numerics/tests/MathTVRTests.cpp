#include "data/CIntDataArray.h"
#include "numerics/MathTVR.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CIntDataArray ints(std::initializer_list<int> values)
{
    CIntDataArray a;
    for (const int v : values)
        a.Add(v);
    return a;
}

TEST(MathTVRUtilities, RoundIsFloorOfXPlusHalf)
{
    EXPECT_EQ(MathTVR::round(2.5f), 3);
    EXPECT_EQ(MathTVR::round(-2.5f), -2);
    EXPECT_EQ(MathTVR::round(-2.51f), -3);
    EXPECT_EQ(MathTVR::round(2.5), 3);
    EXPECT_EQ(MathTVR::round(-0.5), 0);
    EXPECT_EQ(MathTVR::round(-1.5), -1);
}

TEST(MathTVRUtilities, MapLerpAndAverage)
{
    EXPECT_DOUBLE_EQ(MathTVR::map(5, 0, 10, 0, 100), 50.0);
    EXPECT_DOUBLE_EQ(MathTVR::map(0, 0, 50, 0.01, 0.03), 0.01);
    EXPECT_DOUBLE_EQ(MathTVR::map(100, 50, 100, 0.03, 0.2), 0.2);
    // An empty source range divides by zero without raising anything.
    EXPECT_FALSE(std::isfinite(MathTVR::map(3, 2, 2, 0, 1)));
    EXPECT_DOUBLE_EQ(MathTVR::lerp(2, 6, 0.25), 3.0);

    const double values[] = {1, 2, 3, 4, 10};
    EXPECT_DOUBLE_EQ(MathTVR::average(values, 1, 3), 3.0);
    EXPECT_DOUBLE_EQ(MathTVR::average(values, 4, 4), 10.0);
    EXPECT_TRUE(std::isnan(MathTVR::average(values, 3, 2)));
}

TEST(MathTVRUtilities, AnglesInSinglePrecisionAndDegrees)
{
    EXPECT_EQ(MathTVR::degrees2Radians(180.0f), float(180.0f * 3.14159265 / 180));
    EXPECT_EQ(MathTVR::xFromPolar(2.0f, 0.0f), 2.0f);
    EXPECT_EQ(MathTVR::yFromPolar(2.0f, 0.5f), 2.0f * std::sin(0.5f));
    // The conversion constants are the established ones, good to about 1e-9
    // relative (57.29577957855229 rather than 180/pi).
    EXPECT_NEAR(MathTVR::atanDeg(1.0), 45.0, 1e-6);
    EXPECT_NEAR(MathTVR::sinDeg(30.0), 0.5, 1e-8);
    EXPECT_NEAR(MathTVR::cosDeg(60.0), 0.5, 1e-8);
    EXPECT_DOUBLE_EQ(MathTVR::square(-3.0), 9.0);
}

TEST(MathTVRUtilities, CombinedVarianceUsesIntegerMeans)
{
    // Integer means 1 and 5 (1.5 truncated), sample deviations sqrt(0.5) and sqrt(2):
    // m = 3, (2 * (0.5 + 4) + 2 * (2 + 4)) / 4.
    const CIntDataArray a = ints({1, 2});
    const CIntDataArray b = ints({4, 6});
    EXPECT_NEAR(MathTVR::getCombinedVariance(&a, &b), 5.25, 1e-12);
    EXPECT_DOUBLE_EQ(MathTVR::getSimpleDeviation(&a, &b), 4.0);
    EXPECT_DOUBLE_EQ(MathTVR::getSimpleDeviation(&b, &a), 4.0);
}

TEST(MathTVRUtilities, DeterminantsAndCramer)
{
    double m3[3][4] = {{2, 1, 1, 5}, {4, -6, 0, -2}, {-2, 7, 2, 9}};
    double *r3[3] = {m3[0], m3[1], m3[2]};
    EXPECT_DOUBLE_EQ(MathTVR::Determinant3x3(r3), -16.0);
    double a = 0, b = 0, c = 0;
    MathTVR::Solve3x3Matrix(r3, a, b, c);
    EXPECT_NEAR(a, 1.0, 1e-12);
    EXPECT_NEAR(b, 1.0, 1e-12);
    EXPECT_NEAR(c, 2.0, 1e-12);
    EXPECT_EQ(m3[0][3], 5.0) << "the augmented matrix is left unchanged";

    // x = (1, -1, 2, 3)
    double m4[4][5] = {{1, 2, 0, 1, 2}, {0, 1, 3, -1, 2}, {2, 0, 1, 1, 7}, {1, 1, 1, 2, 8}};
    double *r4[4] = {m4[0], m4[1], m4[2], m4[3]};
    double d4[4][4] = {{1, 2, 0, 1}, {0, 1, 3, -1}, {2, 0, 1, 1}, {1, 1, 1, 2}};
    double *rd4[4] = {d4[0], d4[1], d4[2], d4[3]};
    EXPECT_NEAR(MathTVR::Determinant4x4(rd4), 20.0, 1e-12);
    double d = 0;
    MathTVR::Solve4x4Matrix(r4, a, b, c, d);
    EXPECT_NEAR(a, 1.0, 1e-12);
    EXPECT_NEAR(b, -1.0, 1e-12);
    EXPECT_NEAR(c, 2.0, 1e-12);
    EXPECT_NEAR(d, 3.0, 1e-12);
}

TEST(MathTVRModels, EvaluationFormulas)
{
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateLinearModel(2, 1, 3), 7.0);
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateSecondOrderModel(2, 1, 3, 0.5), 9.0);
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateThirdOrderModel(2, 1, 3, 0.5, -1), 1.0);
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateInverseLinearModel(7, 1, 3), 2.0);
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateLogarithmicModel(std::exp(2.0), 1, 3), 7.0);
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateReciprocalModel(4, 1, 2), 1.5);
}

TEST(MathTVRModels, NonlinearAdaptiveModelClampsAndGuardsTheAsymptote)
{
    // q = (10 - 2) / (2 - 0) = 4, q^(1/2) = 2
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateNonlinearAdaptiveModel(2, 10, 2, 3, 0), 6.0);
    // negative q is clamped to 0
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateNonlinearAdaptiveModel(12, 10, 2, 3, 0), 0.0);
    // x == e would divide by zero: q = 0
    EXPECT_DOUBLE_EQ(MathTVR::EvaluateNonlinearAdaptiveModel(5, 10, 2, 3, 5), 0.0);
}

TEST(MathTVRModels, RoundToTwoDecimals)
{
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(0.125), 0.13);
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(1.257), 1.257);
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(1.0), 1.0);
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(0.994), 0.99);
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(0.0), 0.0);
    // The conversion truncates toward zero: -12.5 + 0.5 = -12.
    EXPECT_DOUBLE_EQ(MathTVR::RoundToTwoDecimals(-0.125), -0.12);
}

} // namespace
