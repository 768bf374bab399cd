#include "data/CDoubleDataArray.h"
#include "data/CPointArray.h"
#include "numerics/MathTVR.h"
#include "numerics/Regression1D.h"
#include "numerics/Regression2D.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

CDoubleDataArray doubles(const std::vector<double> &values)
{
    CDoubleDataArray a;
    for (const double v : values)
        a.Add(v);
    return a;
}

CDoubleDataArray sampled(const std::vector<double> &x, const std::function<double(double)> &f)
{
    CDoubleDataArray y;
    for (const double v : x)
        y.Add(f(v));
    return y;
}

TEST(MathTVRFits, ExactDataGivesCorrelationOneInEveryFit)
{
    const std::vector<double> xs = {0.5, 1, 2, 3, 4.5, 6};
    const CDoubleDataArray x = doubles(xs);
    CDoubleDataArray c;

    ASSERT_EQ(MathTVR::LinearRegression(x, sampled(xs, [](double v) { return 2 + 3 * v; }), c), 1);
    ASSERT_EQ(c.GetSize(), 3);
    EXPECT_NEAR(c[0], 2.0, 1e-12);
    EXPECT_NEAR(c[1], 3.0, 1e-12);
    EXPECT_DOUBLE_EQ(c[2], 1.0);

    ASSERT_EQ(MathTVR::SecondOrderRegression(
                  x, sampled(xs, [](double v) { return 1 - 2 * v + 0.5 * v * v; }), c),
              1);
    ASSERT_EQ(c.GetSize(), 4);
    EXPECT_NEAR(c[0], 1.0, 1e-9);
    EXPECT_NEAR(c[1], -2.0, 1e-9);
    EXPECT_NEAR(c[2], 0.5, 1e-9);
    EXPECT_DOUBLE_EQ(c[3], 1.0);

    ASSERT_EQ(MathTVR::ThirdOrderRegression(
                  x, sampled(xs, [](double v) { return 1 + v - 2 * v * v + 0.25 * v * v * v; }), c),
              1);
    ASSERT_EQ(c.GetSize(), 5);
    EXPECT_NEAR(c[0], 1.0, 1e-8);
    EXPECT_NEAR(c[1], 1.0, 1e-8);
    EXPECT_NEAR(c[2], -2.0, 1e-8);
    EXPECT_NEAR(c[3], 0.25, 1e-8);
    EXPECT_DOUBLE_EQ(c[4], 1.0);

    ASSERT_EQ(MathTVR::LogarithmicRegression(
                  x, sampled(xs, [](double v) { return 3 + 2 * std::log(v); }), c),
              1);
    ASSERT_EQ(c.GetSize(), 3);
    EXPECT_NEAR(c[0], 3.0, 1e-12);
    EXPECT_NEAR(c[1], 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(c[2], 1.0);
}

TEST(MathTVRFits, LinearFitAndCorrelationOfScatteredData)
{
    CDoubleDataArray c;
    c.Add(99); // emptied by the fit
    ASSERT_EQ(MathTVR::LinearRegression(doubles({1, 2, 3, 4}), doubles({2, 4, 5, 4}), c), 1);
    ASSERT_EQ(c.GetSize(), 3);
    EXPECT_NEAR(c[0], 2.0, 1e-12);
    EXPECT_NEAR(c[1], 0.7, 1e-12);
    // SSE = 2.3, SST = 4.75
    EXPECT_NEAR(c[2], std::sqrt((4.75 - 2.3) / 4.75), 1e-12);

    // The x array may be longer than y; only the first n values count.
    ASSERT_EQ(MathTVR::LinearRegression(doubles({1, 2, 3, 4, 100}), doubles({2, 4, 5, 4}), c), 1);
    EXPECT_NEAR(c[1], 0.7, 1e-12);
    // A shorter x array is an index error.
    EXPECT_THROW(MathTVR::LinearRegression(doubles({1, 2}), doubles({2, 4, 5}), c),
                 CInvalidArgException);
}

TEST(MathTVRFits, CorrelationNeverNegativeWhenTheFitIsWorseThanTheMean)
{
    // Constant y: SST = 0 while rounding leaves a tiny SSE, so the fit counts as
    // worse than the mean: r = 0 rather than the square root of a negative number.
    const CDoubleDataArray x = doubles({0.3, 1.4, 3.3, 9.2});
    const CDoubleDataArray y = doubles(std::vector<double>(x.GetSize(), 0.3));
    CDoubleDataArray c;
    ASSERT_EQ(MathTVR::SecondOrderRegression(x, y, c), 1);
    double sse = 0;
    for (int i = 0; i < x.GetSize(); ++i) {
        const double r = y[i] - MathTVR::EvaluateSecondOrderModel(x[i], c[0], c[1], c[2]);
        sse += r * r;
    }
    ASSERT_GT(sse, 0.0) << "the data no longer produce a rounding residual";
    EXPECT_EQ(c[3], 0.0);
}

TEST(MathTVRFits, DegenerateInputGivesNonFiniteCoefficientsNotFailure)
{
    CDoubleDataArray c;
    // All x equal: zero determinant, no singularity test in the closed forms.
    ASSERT_EQ(MathTVR::LinearRegression(doubles({2, 2, 2}), doubles({1, 2, 3}), c), 1);
    EXPECT_FALSE(std::isfinite(c[1]));
    ASSERT_EQ(MathTVR::SecondOrderRegression(doubles({2, 2, 2}), doubles({1, 2, 3}), c), 1);
    EXPECT_FALSE(std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]));
    // No points at all: r = 1.
    ASSERT_EQ(MathTVR::LinearRegression(CDoubleDataArray(), CDoubleDataArray(), c), 1);
    ASSERT_EQ(c.GetSize(), 3);
    EXPECT_TRUE(std::isnan(c[0]));
    EXPECT_EQ(c[2], 1.0);
}

TEST(MathTVRFits, SecondOrderByCramerOnScatteredData)
{
    // Least-squares parabola through (-1,1), (0,0), (1,1), (2,5): normal
    // equations [4 2 6 | 7], [2 6 8 | 10], [6 8 18 | 22], solution
    // (-3/20, 1/20, 5/4).
    const CDoubleDataArray x = doubles({-1, 0, 1, 2});
    const CDoubleDataArray y = doubles({1, 0, 1, 5});
    CDoubleDataArray c;
    ASSERT_EQ(MathTVR::SecondOrderRegression(x, y, c), 1);
    double n[3][4] = {{4, 2, 6, 7}, {2, 6, 8, 10}, {6, 8, 18, 22}};
    double *rows[3] = {n[0], n[1], n[2]};
    double a0 = 0, a1 = 0, a2 = 0;
    MathTVR::Solve3x3Matrix(rows, a0, a1, a2);
    EXPECT_DOUBLE_EQ(c[0], a0);
    EXPECT_DOUBLE_EQ(c[1], a1);
    EXPECT_DOUBLE_EQ(c[2], a2);
    EXPECT_NEAR(c[0], -0.15, 1e-12);
    EXPECT_NEAR(c[1], 0.05, 1e-12);
    EXPECT_NEAR(c[2], 1.25, 1e-12);
    EXPECT_GT(c[3], 0.9);
    EXPECT_LT(c[3], 1.0);
}

TEST(MathTVRFits, ThirdOrderRefusesFewerThanFourDistinctX)
{
    // Six points on three distinct x values: singular normal equations.
    const CDoubleDataArray x = doubles({1, 1, 2, 2, 3, 3});
    const CDoubleDataArray y = doubles({1, 1.5, 4, 4.2, 9, 8.7});
    CDoubleDataArray c = doubles({7, 7});
    EXPECT_EQ(MathTVR::ThirdOrderRegression(x, y, c), 0);
    EXPECT_EQ(c.GetSize(), 0);

    // Four distinct x fit a cubic exactly.
    const CDoubleDataArray x4 = doubles({-1, 0, 1, 2});
    const CDoubleDataArray y4 = doubles({-3, 1, 1, 3}); // 1 + x - 2x^2 + x^3
    ASSERT_EQ(MathTVR::ThirdOrderRegression(x4, y4, c), 1);
    ASSERT_EQ(c.GetSize(), 5);
    EXPECT_NEAR(c[0], 1.0, 1e-12);
    EXPECT_NEAR(c[1], 1.0, 1e-12);
    EXPECT_NEAR(c[2], -2.0, 1e-12);
    EXPECT_NEAR(c[3], 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(c[4], 1.0);

    // Any failure inside the fit, here a short x array, is a 0 result.
    c = doubles({7});
    EXPECT_EQ(MathTVR::ThirdOrderRegression(doubles({0, 1, 2, 3}), doubles({1, 2, 3, 4, 5}), c), 0);
    EXPECT_EQ(c.GetSize(), 0);
    EXPECT_EQ(MathTVR::ThirdOrderRegression(CDoubleDataArray(), CDoubleDataArray(), c), 0);
}

TEST(MathTVRFits, InverseFitsExchangeTheAxes)
{
    const CDoubleDataArray x = doubles({1, 2, 3, 4, 5});
    const CDoubleDataArray y = doubles({2.1, 3.9, 6.2, 7.8, 10.1});
    for (int kind = 0; kind < 3; ++kind) {
        CDoubleDataArray inverse, swapped;
        switch (kind) {
        case 0:
            ASSERT_EQ(MathTVR::InverseLinearRegression(x, y, inverse), 1);
            MathTVR::LinearRegression(y, x, swapped);
            break;
        case 1:
            ASSERT_EQ(MathTVR::InverseSecondOrderRegression(x, y, inverse), 1);
            MathTVR::SecondOrderRegression(y, x, swapped);
            break;
        default:
            ASSERT_EQ(MathTVR::InverseThirdOrderRegression(x, y, inverse), 1);
            MathTVR::ThirdOrderRegression(y, x, swapped);
        }
        EXPECT_EQ(inverse.vector(), swapped.vector()) << kind;
    }
    // x = (y - 0) / 2 exactly for y = 2x
    CDoubleDataArray c;
    MathTVR::InverseLinearRegression(x, doubles({2, 4, 6, 8, 10}), c);
    EXPECT_NEAR(c[0], 0.0, 1e-12);
    EXPECT_NEAR(c[1], 0.5, 1e-12);
}

TEST(MathTVRFits, ReciprocalFitIsNotAvailable)
{
    CDoubleDataArray c = doubles({4, 5});
    EXPECT_EQ(MathTVR::ReciprocalRegression(doubles({1, 2, 3}), doubles({1, 2, 3}), c), 0);
    EXPECT_EQ(c.vector(), (std::vector<double> {4, 5}));
}

TEST(MathTVRFits, PointFormReturnsCorrelation)
{
    CPointArray points;
    for (int i = 0; i < 5; ++i)
        points.Add(CPoint(i, 1 + 2 * i));
    double intercept = 0, slope = 0;
    EXPECT_DOUBLE_EQ(MathTVR::LinearRegression(points, intercept, slope), 1.0);
    EXPECT_NEAR(intercept, 1.0, 1e-12);
    EXPECT_NEAR(slope, 2.0, 1e-12);

    CArray<CPoint> scattered;
    scattered.Add(CPoint(1, 2));
    scattered.Add(CPoint(2, 4));
    scattered.Add(CPoint(3, 5));
    scattered.Add(CPoint(4, 4));
    EXPECT_NEAR(MathTVR::LinearRegression(scattered, intercept, slope),
                std::sqrt((4.75 - 2.3) / 4.75), 1e-12);
    EXPECT_NEAR(intercept, 2.0, 1e-12);
    EXPECT_NEAR(slope, 0.7, 1e-12);
}

TEST(Regression1D, FitsPolynomialAndEvaluatesDerivatives)
{
    const double x[] = {-2, -1, 0, 1, 2, 3};
    double y[6];
    for (int i = 0; i < 6; ++i)
        y[i] = 2 - x[i] + 0.5 * x[i] * x[i];
    testing::internal::CaptureStdout();
    Regression1D fit(6, x, y, 2);
    const double residualBefore = fit.GetResidualRSM();
    const bool fitted = fit.FitPolynomial();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(residualBefore, -1.0);
    ASSERT_TRUE(fitted);
    EXPECT_NE(output.find("_num_terms = 3"), std::string::npos);
    EXPECT_EQ(output.find("Polynomial fitting\n"), output.find("Polynomial fitting"));
    EXPECT_NE(output.find("End of Regression1D::FitPolynomial()\n"), std::string::npos);

    const std::vector<double> c = fit.GetModelCoefficients();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(c[0], 2.0, 1e-10);
    EXPECT_NEAR(c[1], -1.0, 1e-10);
    EXPECT_NEAR(c[2], 0.5, 1e-10);
    EXPECT_NEAR(fit.Evaluate(4), 6.0, 1e-9);
    EXPECT_NEAR(fit.EvaluateDerivative(4), 3.0, 1e-9);
    EXPECT_NEAR(fit.EvaluateSecondDerivative(4), 1.0, 1e-9);
    EXPECT_NEAR(fit.GetCorrelationCoefficient(), 1.0, 1e-12);
    EXPECT_NEAR(fit.GetResidualRSM(), 0.0, 1e-9);
    EXPECT_EQ(fit.GetSampleSize(), 6);
    EXPECT_EQ(fit.GetDataValues()[5], y[5]);
    ASSERT_EQ(fit.GetModelValues().size(), 6u);
    EXPECT_NEAR(fit.GetModelValues()[0], y[0], 1e-9);

    // Root of the model: 2 - x + 0.5 x^2 = 4 at x = 1 + sqrt(5).
    double root = 0;
    ASSERT_TRUE(fit.Solve(4, 1e-10, 0, 5, root));
    EXPECT_NEAR(root, 1 + std::sqrt(5.0), 1e-9);

    const std::unique_ptr<Regression1D> copy = fit.Clone();
    EXPECT_EQ(copy->GetModelCoefficients(), c);
}

TEST(Regression1D, TooFewSamplesAndSingularSystems)
{
    const double x[] = {1, 2};
    const double y[] = {1, 2};
    testing::internal::CaptureStdout();
    Regression1D fit(2, x, y, 2);
    std::string text = "(nothing thrown)";
    try {
        fit.FitPolynomial();
    } catch (const CTextException &e) {
        text = e.what();
    }
    // Three samples on two distinct x: the normal equations are exactly singular here.
    const double xs[] = {0, 0, 1};
    const double ys[] = {1, 2, 3};
    Regression1D singular(3, xs, ys, 2);
    const bool fitted = singular.FitPolynomial();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(text, "Regression1D::FitPolynomial: Sample size is too small");
    EXPECT_FALSE(fitted);
    EXPECT_EQ(singular.GetModelCoefficients(), (std::vector<double> {1, 1, 1}));
}

TEST(Regression2D, FitsSurfaceWithCrossTerm)
{
    std::vector<SamplePoint> samples;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            samples.emplace_back(i, j, 1 + 2 * i + 3 * j + 0.5 * i * j);
    testing::internal::CaptureStdout();
    Regression2D fit(int(samples.size()), samples.data(), 2, 2, 2);
    const bool fitted = fit.FitPolynomial();
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(fitted);
    EXPECT_NE(output.find("End of Regression2D::FitPolynomial()\n"), std::string::npos);
    // Terms 1, x, x^2, y, xy, y^2.
    ASSERT_EQ(fit.GetPolynomial().GetNumTerms(), 6);
    const std::vector<double> c = fit.GetModelCoefficients();
    const double expected[] = {1, 2, 0, 3, 0.5, 0};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(c[size_t(k)], expected[k], 1e-10) << k;
    EXPECT_NEAR(fit.Evaluate(10, 10), 1 + 20 + 30 + 50, 1e-8);
    EXPECT_NEAR(fit.EvaluateDerivative(10, 4, 0), 2 + 0.5 * 4, 1e-9);
    EXPECT_NEAR(fit.EvaluateDerivative(10, 4, 1), 3 + 0.5 * 10, 1e-9);
    EXPECT_NEAR(fit.EvaluateSecondDerivative(10, 4, 0, 1), 0.5, 1e-9);
    EXPECT_NEAR(fit.EvaluateSecondDerivative(10, 4, 0, 0), 0.0, 1e-9);
    EXPECT_NEAR(fit.GetCorrelationCoefficient(), 1.0, 1e-12);
    EXPECT_EQ(fit.GetDataValues().size(), samples.size());

    testing::internal::CaptureStdout();
    Regression2D tooSmall(5, samples.data(), 2, 2, 2);
    testing::internal::GetCapturedStdout();
    try {
        tooSmall.FitPolynomial();
        ADD_FAILURE() << "no exception";
    } catch (const CTextException &e) {
        EXPECT_STREQ(e.what(), "Regression2D::FitPolynomial: Sample size is too small");
    }
}

} // namespace
