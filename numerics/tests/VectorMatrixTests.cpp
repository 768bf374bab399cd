#include "numerics/LUDecomposition.h"
#include "numerics/Matrix.h"
#include "numerics/MatrixInt.h"
#include "numerics/NRUtil.h"
#include "numerics/SavitzkyGolay.h"
#include "numerics/Vector.h"
#include "numerics/VectorInt.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

Vector vec(std::initializer_list<double> values)
{
    Vector v(int(values.size()));
    int i = 0;
    for (const double x : values)
        v[i++] = x;
    return v;
}

std::vector<double> values(const Vector &v)
{
    return std::vector<double>(v.GetData(), v.GetData() + v.GetCount());
}

Matrix mat(int rows, int cols, std::initializer_list<double> values)
{
    Matrix m(rows, cols);
    int k = 0;
    for (const double x : values) {
        m(k / cols, k % cols) = x;
        ++k;
    }
    return m;
}

std::string thrownText(const std::function<void()> &f)
{
    try {
        f();
    } catch (const CTextException &e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST(VectorStatistics, MedianOfOddAndEvenCounts)
{
    EXPECT_DOUBLE_EQ(vec({3, 1, 2}).CalculateMedian(), 2.0);
    EXPECT_DOUBLE_EQ(vec({4, 1, 3, 2}).CalculateMedian(), 2.5);
    EXPECT_DOUBLE_EQ(Vector().CalculateMedian(), 0.0);
    const Vector v = vec({5, -1, 7, 3});
    EXPECT_DOUBLE_EQ(v.CalculateKthSmallest(0), -1.0);
    EXPECT_DOUBLE_EQ(v.CalculateKthSmallest(3), 7.0);
    EXPECT_DOUBLE_EQ(v.CalculateKthSmallest(4), 0.0);
    EXPECT_DOUBLE_EQ(v.CalculateKthSmallest(-1), 0.0);
    EXPECT_EQ(values(v), (std::vector<double> {5, -1, 7, 3})) << "selection works on a copy";
}

TEST(VectorStatistics, MeanVarianceAndMeanError)
{
    const Vector v = vec({1, 3});
    EXPECT_DOUBLE_EQ(v.CalculateMean(), 2.0);
    EXPECT_DOUBLE_EQ(v.CalculateVariance(), 2.0);
    EXPECT_DOUBLE_EQ(v.CalculateStDeviation(), std::sqrt(2.0));
    // Divided by n, not by sqrt(n).
    EXPECT_DOUBLE_EQ(v.CalculateStMeanError(), std::sqrt(2.0) / 2);
    EXPECT_DOUBLE_EQ(v.CalculateSum2(), 10.0);

    EXPECT_DOUBLE_EQ(Vector().CalculateMean(), 0.0);
    EXPECT_DOUBLE_EQ(Vector().CalculateStMeanError(), 0.0);
    EXPECT_DOUBLE_EQ(vec({4}).CalculateVariance(), 0.0);
    EXPECT_DOUBLE_EQ(vec({4, -2, 9}).CalculateMax(), 9.0);
    EXPECT_DOUBLE_EQ(vec({4, -2, 9}).CalculateMin(), -2.0);
}

TEST(VectorStatistics, SkewnessAndKurtosis)
{
    // Deviations taken as (mean - x): a long right tail gives a negative value.
    EXPECT_NEAR(vec({1, 2, 10}).CalculateSkewness(), -1.6523167403329908, 1e-12);
    EXPECT_DOUBLE_EQ(vec({1, 2}).CalculateSkewness(), 0.0);
    EXPECT_DOUBLE_EQ(vec({1, 2, 3}).CalculateSkewness(), 0.0); // symmetric: sum 0

    // n = 4: first term 4*5*10.25 / (3*2*1*(5/3)^2) = 12.3; the correction term
    // ((3 * 9) / 2) / 1 is 13 in integer arithmetic (13.5 exactly).
    EXPECT_NEAR(vec({1, 2, 3, 4}).CalculateKurtosis(), 12.3 - 13, 1e-12);
    EXPECT_DOUBLE_EQ(vec({1, 2, 3}).CalculateKurtosis(), 0.0);
    EXPECT_DOUBLE_EQ(vec({2, 2, 2, 2}).CalculateKurtosis(), 0.0);
}

TEST(VectorStatistics, MeanSigmaCpkAndCorrelation)
{
    double mean = -1, sigma = -1, cpk = -1;
    vec({1, 3}).CalculateMeanSigmaCpk(0, 10, mean, sigma, cpk);
    EXPECT_DOUBLE_EQ(mean, 2.0);
    EXPECT_DOUBLE_EQ(sigma, std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(cpk, 2.0 / (3 * std::sqrt(2.0)));
    vec({5, 5}).CalculateMeanSigmaCpk(0, 10, mean, sigma, cpk);
    EXPECT_DOUBLE_EQ(cpk, 0.0);
    vec({5}).CalculateMeanSigmaCpk(0, 10, mean, sigma, cpk);
    EXPECT_EQ(mean, 0.0);
    EXPECT_EQ(sigma, 0.0);
    EXPECT_EQ(cpk, 0.0);

    const Vector x = vec({1, 2, 3});
    const Vector y = vec({2, 4, 6});
    const std::optional<double> r = x.CalculateCorrelation(&y);
    ASSERT_TRUE(r.has_value());
    // sum (dx dy) = 4, n sx sy = 3 * 1 * 2
    EXPECT_DOUBLE_EQ(*r, 4.0 / 6.0);
    const Vector flat = vec({1, 1, 1});
    EXPECT_FALSE(x.CalculateCorrelation(&flat).has_value());
    const Vector shorter = vec({1, 2});
    EXPECT_FALSE(x.CalculateCorrelation(&shorter).has_value());
    const Vector empty;
    EXPECT_FALSE(empty.CalculateCorrelation(&empty).has_value());
}

TEST(VectorOperations, ElementWiseArithmetic)
{
    const Vector a = vec({1, 2, 3});
    const Vector b = vec({4, 5, 6});
    EXPECT_EQ(values(a + b), (std::vector<double> {5, 7, 9}));
    EXPECT_EQ(values(b - a), (std::vector<double> {3, 3, 3}));
    EXPECT_EQ(values(b / a), (std::vector<double> {4, 2.5, 2}));
    EXPECT_EQ(values(a - 1.0), (std::vector<double> {0, 1, 2}));
    Vector c(a);
    c *= 2.0;
    c += b;
    EXPECT_EQ(values(c), (std::vector<double> {6, 9, 12}));
    VectorInt marks(3, 1);
    marks[1] = 0;
    c *= marks;
    EXPECT_EQ(values(c), (std::vector<double> {6, 0, 12}));
    c -= marks;
    EXPECT_EQ(values(c), (std::vector<double> {5, 0, 11}));
    EXPECT_THROW(c += vec({1, 2}), CInvalidArgException);
    EXPECT_THROW(c[3], CInvalidArgException);
    EXPECT_THROW(c.SetAt(-1, 0), CInvalidArgException);
}

TEST(VectorOperations, SignChopDeltaDestroyAppendPrepend)
{
    Vector v = vec({-3, 0, 2.5});
    v.Sign();
    EXPECT_EQ(values(v), (std::vector<double> {-1, 0, 1}));

    // The upper bound is applied first, so an inverted range ends at low.
    Vector w = vec({-5, 0.5, 5});
    w.Chop(0, 1);
    EXPECT_EQ(values(w), (std::vector<double> {0, 0.5, 1}));
    Vector inverted = vec({5});
    inverted.Chop(2, 1);
    EXPECT_EQ(values(inverted), (std::vector<double> {2}));
    Vector z = vec({-5, 0.5, 5});
    z.Chop(vec({-1, 1, 0}), vec({1, 2, 3}));
    EXPECT_EQ(values(z), (std::vector<double> {-1, 1, 3}));

    EXPECT_EQ(values(vec({1, 4, 9}).CalculateDelta()), (std::vector<double> {3, 5, 0}));

    Vector d = vec({1, 2, 3, 4});
    d.Destroy(1);
    EXPECT_EQ(values(d), (std::vector<double> {1, 3, 4}));
    EXPECT_THROW(d.Destroy(3), CInvalidArgException);
    EXPECT_EQ(values(d.AppendElement(7)), (std::vector<double> {1, 3, 4, 7}));
    EXPECT_EQ(values(d.PrependElement(7)), (std::vector<double> {7, 1, 3, 4}));

    Vector s = vec({3, -1, 2});
    s.QuickSort();
    EXPECT_EQ(values(s), (std::vector<double> {-1, 2, 3}));
}

TEST(VectorOperations, TransformMapsRangeAndWarnsOnEmptyRange)
{
    Vector v = vec({5, 10, 15});
    v.Transform(0, 1, 5, 15);
    EXPECT_EQ(values(v), (std::vector<double> {0, 0.5, 1}));

    Vector flat = vec({1, 7, 9});
    testing::internal::CaptureStdout();
    flat.Transform(0, 1, 5, 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning: Vector::Transform: high == low\n");
    EXPECT_EQ(values(flat), (std::vector<double> {0.5, 0.5, 0.5}));
}

TEST(VectorOperations, OutliersAndDensity)
{
    // mean 10/9, s = 10/3: only the 10 lies more than 1.96 s from the mean.
    const Vector v = vec({0, 0, 0, 0, 0, 0, 0, 0, 10});
    const std::unique_ptr<VectorInt> marks = v.CloneOutliers();
    ASSERT_EQ(marks->GetCount(), 9);
    EXPECT_EQ(marks->CalculateSum(), 1);
    EXPECT_EQ(marks->GetAt(8), 1);
    EXPECT_EQ(vec({2, 2, 2}).CloneOutliers()->CalculateSum(), 0);

    // Bins of width 1 from 0: (.., 1], (1, 2], (2, 3]; -1 and 3.5 are not counted.
    const Vector samples = vec({2.5, -1, 0, 1, 1.5, 2, 3, 3.5, 0.2});
    const std::unique_ptr<Vector> density = samples.CloneDensity(3, 0, 3);
    EXPECT_EQ(values(*density), (std::vector<double> {3, 2, 2}));
}

TEST(VectorOperations, CopyCloneAndResize)
{
    Vector a = vec({1, 2});
    Vector b;
    b = a;
    a[0] = 9;
    EXPECT_EQ(values(b), (std::vector<double> {1, 2}));
    const std::unique_ptr<Vector> c = a.Clone();
    EXPECT_EQ(values(*c), (std::vector<double> {9, 2}));
    a.SetCount(3);
    EXPECT_EQ(values(a), (std::vector<double> {9, 2, 0}));
    a.SetAll(4);
    EXPECT_EQ(values(a), (std::vector<double> {4, 4, 4}));
    *a.GetAtPointer(1) = 5;
    EXPECT_EQ(a(1), 5.0);
}

TEST(MatrixLU, SolvesWithImplicitPivoting)
{
    // Raw magnitudes would pick row 0 as first pivot (3 > 2); relative to their
    // rows' largest elements row 1 wins (2/2 > 3/1000).
    Matrix m = mat(2, 2, {3, 1000, 2, 1});
    Matrix lu(m);
    lu.LUDecomp();
    EXPECT_EQ(lu(0, 0), 2.0);
    EXPECT_EQ(lu(1, 0), 1.5);
    EXPECT_EQ(lu(1, 1), 998.5);

    Vector b = m * vec({1, 1});
    m.LUSolve(b);
    EXPECT_NEAR(b[0], 1.0, 1e-12);
    EXPECT_NEAR(b[1], 1.0, 1e-12);

    Matrix a = mat(3, 3, {2, 1, 1, 4, -6, 0, -2, 7, 2});
    Vector rhs = vec({5, -2, 9});
    a.LUSolve(rhs);
    EXPECT_NEAR(rhs[0], 1.0, 1e-12);
    EXPECT_NEAR(rhs[1], 1.0, 1e-12);
    EXPECT_NEAR(rhs[2], 2.0, 1e-12);
}

TEST(MatrixLU, FailureTexts)
{
    EXPECT_EQ(thrownText([] {
                  mat(2, 2, {1, 2, 2, 4}).LUDecomp();
              }),
              "Matrix::LUDecomp: singular matrix");
    EXPECT_EQ(thrownText([] {
                  mat(2, 2, {0, 0, 1, 2}).LUDecomp();
              }),
              "Matrix::LUDecomp: singular matrix");
    EXPECT_EQ(thrownText([] { Matrix().LUDecomp(); }), "Matrix::LUDecomp: empty matrix");
    EXPECT_EQ(thrownText([] { Matrix(2, 3).LUDecomp(); }), "Matrix::LUDecomp: non-cubic matrix");
    EXPECT_EQ(thrownText([] {
                  Vector b(3);
                  mat(2, 2, {1, 0, 0, 1}).LUSolve(b);
              }),
              "Matrix::LUSolve: vector size error");
    EXPECT_EQ(thrownText([] { Matrix().Invert(); }), "Matrix::Invert: empty matrix");
    EXPECT_EQ(thrownText([] { Matrix(3, 2).Invert(); }), "Matrix::Invert: non-square  matrix");
    EXPECT_EQ(thrownText([] {
                  mat(2, 2, {1, 2, 2, 4}).Invert();
              }),
              "Matrix::LUDecomp: singular matrix");
}

TEST(MatrixLU, InvertAndProducts)
{
    const Matrix a = mat(3, 3, {2, 1, 1, 4, -6, 0, -2, 7, 2});
    Matrix inverse(a);
    inverse.Invert();
    const Matrix identity = a * inverse;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(identity(i, j), i == j ? 1.0 : 0.0, 1e-12) << i << "," << j;

    const Matrix p = mat(2, 3, {1, 2, 3, 4, 5, 6}) * mat(3, 1, {1, 0, -1});
    EXPECT_EQ(p.GetRows(), 2);
    EXPECT_EQ(p.GetCols(), 1);
    EXPECT_EQ(p(0, 0), -2.0);
    EXPECT_EQ(p(1, 0), -2.0);
    EXPECT_EQ(values(mat(2, 3, {1, 2, 3, 4, 5, 6}) * vec({1, 1, 1})),
              (std::vector<double> {6, 15}));
    EXPECT_THROW(mat(2, 3, {1, 2, 3, 4, 5, 6}) * vec({1, 1}), CInvalidArgException);
    EXPECT_THROW(Matrix(2, 2)(2, 0), CInvalidArgException);

    // Least squares through the normal equations: line through (0,1), (1,3), (2,5).
    const Vector c = mat(3, 2, {1, 0, 1, 1, 1, 2}).LeastSquares(vec({1, 3, 5}));
    EXPECT_NEAR(c[0], 1.0, 1e-12);
    EXPECT_NEAR(c[1], 2.0, 1e-12);

    MatrixInt mi(2, 2, 7);
    mi(1, 0) = 3;
    EXPECT_EQ(MatrixInt(mi).GetAt(1, 0), 3);
    EXPECT_EQ(mi.GetAt(0, 1), 7);
    EXPECT_THROW(mi(0, 2), CInvalidArgException);
}

TEST(SinglePrecisionLU, SolvesSmallSystemsWithScaledPivots)
{
    float **a = matrix(1, 2, 1, 2);
    int *indx = ivector(1, 2);
    float *b = vector(1, 2);
    a[1][1] = 3;
    a[1][2] = 1000;
    a[2][1] = 2;
    a[2][2] = 1;
    b[1] = 1003;
    b[2] = 3;
    float d = 0;
    ludcmp(a, 2, indx, &d);
    EXPECT_EQ(indx[1], 2) << "implicit pivoting chooses the second row";
    EXPECT_EQ(d, -1.0f);
    lubksb(a, 2, indx, b);
    EXPECT_NEAR(b[1], 1.0f, 1e-5f);
    EXPECT_NEAR(b[2], 1.0f, 1e-5f);
    free_vector(b, 1, 2);
    free_ivector(indx, 1, 2);
    free_matrix(a, 1, 2, 1, 2);

    float **m = matrix(1, 3, 1, 3);
    int *ix = ivector(1, 3);
    float *r = vector(1, 3);
    const float values3[3][3] = {{2, 1, 1}, {4, -6, 0}, {-2, 7, 2}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            m[i][j] = values3[i - 1][j - 1];
    ludcmp(m, 3, ix, &d);
    // The factors can be reused for several right-hand sides.
    const float rhs[2][3] = {{5, -2, 9}, {0, 0, 0}};
    for (const auto &f : rhs) {
        r[1] = f[0];
        r[2] = f[1];
        r[3] = f[2];
        lubksb(m, 3, ix, r);
        const bool zero = f[0] == 0;
        EXPECT_NEAR(r[1], zero ? 0.0f : 1.0f, 1e-5f);
        EXPECT_NEAR(r[2], zero ? 0.0f : 1.0f, 1e-5f);
        EXPECT_NEAR(r[3], zero ? 0.0f : 2.0f, 1e-5f);
    }
    free_vector(r, 1, 3);
    free_ivector(ix, 1, 3);
    free_matrix(m, 1, 3, 1, 3);
}

TEST(SinglePrecisionLUDeathTest, SingularMatrixEndsTheProcess)
{
    EXPECT_EXIT(
        {
            float **a = matrix(1, 2, 1, 2);
            int *indx = ivector(1, 2);
            a[1][1] = 1;
            a[1][2] = 2;
            a[2][1] = 2;
            a[2][2] = 4;
            float d = 0;
            ludcmp(a, 2, indx, &d);
        },
        testing::ExitedWithCode(1), "ludcmp: Singular matrix\\.");
}

std::vector<float> savgolCoefficients(int np, int nl, int nr, int ld, int m)
{
    float *c = vector(1, np);
    savgol(c, np, nl, nr, ld, m);
    std::vector<float> out(c + 1, c + np + 1);
    free_vector(c, 1, np);
    return out;
}

TEST(SavitzkyGolay, CoefficientsInWrapAroundOrder)
{
    // Quadratic smoothing over five points: (-3, 12, 17, 12, -3) / 35.
    const std::vector<float> smooth = savgolCoefficients(5, 2, 2, 0, 2);
    const float expected[5] = {17, 12, -3, -3, 12};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(smooth[size_t(i)], expected[i] / 35.0f, 1e-6f) << i;

    // Asymmetric window, straight line over k = -1..2 evaluated at 0: weights
    // 0.4, 0.3, 0.2, 0.1 for k = -1, 0, 1, 2. Centre first, then the left
    // points, the right points from the end backwards.
    const std::vector<float> line = savgolCoefficients(4, 1, 2, 0, 1);
    const float expectedLine[4] = {0.3f, 0.4f, 0.1f, 0.2f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(line[size_t(i)], expectedLine[i], 1e-6f) << i;

    // First derivative over five points: k / 10; np larger than the window pads with 0.
    const std::vector<float> slope = savgolCoefficients(7, 2, 2, 1, 2);
    const float expectedSlope[7] = {0, -0.1f, -0.2f, 0, 0, 0.2f, 0.1f};
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(slope[size_t(i)], expectedSlope[i], 1e-6f) << i;
}

TEST(SavitzkyGolayDeathTest, BadArgumentsEndTheProcess)
{
    float c[8] = {};
    EXPECT_EXIT(savgol(c, 3, 2, 2, 0, 2), testing::ExitedWithCode(1), "bad args in savgol");
    EXPECT_EXIT(savgol(c, 5, 2, 2, 3, 2), testing::ExitedWithCode(1), "bad args in savgol");
    EXPECT_EXIT(savgol(c, 5, 1, 1, 0, 3), testing::ExitedWithCode(1), "bad args in savgol");
    EXPECT_EXIT(savgol(c, 5, -1, 2, 0, 1), testing::ExitedWithCode(1), "bad args in savgol");
}

} // namespace
