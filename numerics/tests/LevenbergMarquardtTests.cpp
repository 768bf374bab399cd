#include "numerics/LevenbergMarquardt.h"
#include "numerics/NRUtil.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

// ---------------------------------------------------------------- allocators

TEST(NRUtil, VectorsHonourTheirBounds)
{
    float *v = vector(5, 10);
    for (int i = 5; i <= 10; ++i)
        v[i] = float(i) * 1.5f;
    for (int i = 5; i <= 10; ++i)
        EXPECT_EQ(v[i], float(i) * 1.5f);
    free_vector(v, 5, 10);

    // Negative and zero lower bounds, and every element type.
    int *iv = ivector(-3, 3);
    for (int i = -3; i <= 3; ++i)
        iv[i] = i;
    EXPECT_EQ(iv[-3] + iv[3], 0);
    free_ivector(iv, -3, 3);

    double *dv = dvector(0, 0);
    dv[0] = 2.5;
    EXPECT_EQ(dv[0], 2.5);
    free_dvector(dv, 0, 0);

    short *sv = sivector(1, 2);
    char *cv = cvector(1, 2);
    unsigned char *uv = ucvector(100, 101);
    sv[2] = -5;
    cv[2] = 'x';
    uv[101] = 200;
    EXPECT_EQ(sv[2], -5);
    EXPECT_EQ(cv[2], 'x');
    EXPECT_EQ(uv[101], 200);
    free_sivector(sv, 1, 2);
    free_cvector(cv, 1, 2);
    free_ucvector(uv, 100, 101);

    // An empty range is a valid allocation.
    float *empty = vector(1, 0);
    EXPECT_NE(empty, nullptr);
    free_vector(empty, 1, 0);
}

TEST(NRUtil, MatricesHaveSeparateRowsWithinTheirBounds)
{
    float **m = matrix(2, 4, -1, 1);
    for (int i = 2; i <= 4; ++i) {
        for (int j = -1; j <= 1; ++j)
            m[i][j] = float(10 * i + j);
    }
    for (int i = 2; i <= 4; ++i) {
        for (int j = -1; j <= 1; ++j)
            EXPECT_EQ(m[i][j], float(10 * i + j));
    }
    free_matrix(m, 2, 4, -1, 1);

    double **d = dmatrix(1, 3, 1, 3);
    d[3][3] = 9.0;
    EXPECT_EQ(d[3][3], 9.0);
    free_dmatrix(d, 1, 3, 1, 3);
    char **c = cmatrix(0, 1, 0, 1);
    c[1][1] = 'q';
    EXPECT_EQ(c[1][1], 'q');
    free_cmatrix(c, 0, 1, 0, 1);
    short **s = simatrix(1, 2, 1, 2);
    s[2][1] = 7;
    EXPECT_EQ(s[2][1], 7);
    free_simatrix(s, 1, 2, 1, 2);
}

TEST(NRUtil, IntegerAndByteMatricesStartZeroed)
{
    int **im = imatrix(1, 20, 1, 30);
    unsigned char **um = unchar_matrix(0, 20, 5, 40);
    int nonZero = 0;
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 30; ++j)
            nonZero += im[i][j] != 0;
    }
    for (int i = 0; i <= 20; ++i) {
        for (int j = 5; j <= 40; ++j)
            nonZero += um[i][j] != 0;
    }
    EXPECT_EQ(nonZero, 0);
    free_imatrix(im, 1, 20, 1, 30);
    free_unchar_matrix(um, 0, 20, 5, 40);
}

TEST(NRUtil, SubmatrixAndConvertMatrixShareTheElements)
{
    float **m = matrix(1, 4, 1, 4);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j)
            m[i][j] = float(10 * i + j);
    }
    // Rows 2..3, columns 3..4, re-indexed from [0][0].
    float **sub = submatrix(m, 2, 3, 3, 4, 0, 0);
    EXPECT_EQ(sub[0][0], 23.0f);
    EXPECT_EQ(sub[1][1], 34.0f);
    sub[1][0] = -1.0f;
    EXPECT_EQ(m[3][3], -1.0f);
    free_submatrix(sub, 0, 1, 0, 1);
    free_matrix(m, 1, 4, 1, 4);

    float block[6] = { 1, 2, 3, 4, 5, 6 }; // 2 rows x 3 columns
    float **cm = convert_matrix(block, 1, 2, 1, 3);
    EXPECT_EQ(cm[1][1], 1.0f);
    EXPECT_EQ(cm[1][3], 3.0f);
    EXPECT_EQ(cm[2][1], 4.0f);
    cm[2][3] = 60.0f;
    EXPECT_EQ(block[5], 60.0f);
    free_convert_matrix(cm, 1, 2, 1, 3);
}

TEST(NRUtilDeathTest, NrerrorWritesThreeLinesAndExitsWithStatusOne)
{
    EXPECT_EXIT(nrerror("bad args in test"), testing::ExitedWithCode(1),
                "Numerical Recipes run-time error\\.\\.\\.\nbad args in test\n"
                "\\.\\.\\.now exiting to system\\.\\.\\.");
}

TEST(NRUtilDeathTest, AnImpossibleAllocationEndsInNrerror)
{
    const long huge = std::numeric_limits<long>::max() / 2;
    EXPECT_EXIT(vector(1, huge), testing::ExitedWithCode(1), "allocation failure in vector\\(\\)");
    EXPECT_EXIT(dmatrix(1, 2, 1, huge), testing::ExitedWithCode(1),
                "allocation failure 2 in dmatrix\\(\\)");
    EXPECT_EXIT(imatrix(1, huge, 1, 2), testing::ExitedWithCode(1),
                "allocation failure 1 in imatrix\\(\\)");
}

// ------------------------------------------------------------------- fgauss

double gaussValue(double x, const double *p, int na)
{
    double y = 0;
    for (int i = 1; i + 2 <= na; i += 3) {
        const double arg = (x - p[i + 1]) / p[i + 2];
        y += p[i] * std::exp(-arg * arg);
    }
    return y;
}

TEST(fgauss, ValueAndDerivativesAgreeWithFiniteDifferences)
{
    float a[7] = { 0, 120.0f, 20.0f, 4.5f, 80.0f, 27.0f, 6.0f };
    double p[7];
    for (int i = 0; i < 7; ++i)
        p[i] = a[i];
    for (const float x : { 10.0f, 18.5f, 20.0f, 23.0f, 27.0f, 31.25f }) {
        float y = -1.0f;
        float dyda[7] = {};
        fgauss(x, a, &y, dyda, 6);
        EXPECT_NEAR(y, gaussValue(x, p, 6), 1e-4 * 200);
        for (int k = 1; k <= 6; ++k) {
            const double h = 1e-5 * std::max(1.0, std::fabs(p[k]));
            double up[7];
            double down[7];
            std::memcpy(up, p, sizeof p);
            std::memcpy(down, p, sizeof p);
            up[k] += h;
            down[k] -= h;
            const double numeric = (gaussValue(x, up, 6) - gaussValue(x, down, 6)) / (2 * h);
            EXPECT_NEAR(dyda[k], numeric, 1e-4 * (1.0 + std::fabs(numeric))) << x << " " << k;
        }
    }
}

TEST(fgauss, UsesOnlyWholeTriples)
{
    // A second peak sits in a[4..6]; with na = 5 its triple is incomplete
    // and must not be read.
    float a[7] = { 0, 10.0f, 0.0f, 1.0f, 1000.0f, 0.0f, 1.0f };
    float y = 0.0f;
    float dyda[7] = { -1, -1, -1, -1, -1, -1, -1 };
    fgauss(0.0f, a, &y, dyda, 5);
    EXPECT_EQ(y, 10.0f);
    EXPECT_EQ(dyda[4], -1.0f);

    // Fewer than two parameters: y = 0, derivatives untouched.
    y = 5.0f;
    fgauss(0.0f, a, &y, dyda, 1);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(dyda[1], 1.0f); // from the call above
}

// ------------------------------------------------------------------- gaussj

TEST(gaussj, InvertsAndSolves)
{
    // A = [[4, -2, 1], [3, 6, -4], [2, 1, 8]], x = [1, 2, 3] -> b = [3, 3, 28].
    float **a = matrix(1, 3, 1, 3);
    float **b = matrix(1, 3, 1, 2);
    const float values[3][3] = { { 4, -2, 1 }, { 3, 6, -4 }, { 2, 1, 8 } };
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            a[i][j] = values[i - 1][j - 1];
    }
    b[1][1] = 3;
    b[2][1] = 3;
    b[3][1] = 28;
    b[1][2] = 1; // second right-hand side: the first unit vector
    b[2][2] = 0;
    b[3][2] = 0;
    gaussj(a, 3, b, 2);
    EXPECT_NEAR(b[1][1], 1.0f, 1e-5f);
    EXPECT_NEAR(b[2][1], 2.0f, 1e-5f);
    EXPECT_NEAR(b[3][1], 3.0f, 1e-5f);
    for (int i = 1; i <= 3; ++i) {
        // The second solution is the first column of the inverse.
        EXPECT_NEAR(b[i][2], a[i][1], 1e-6f);
        for (int j = 1; j <= 3; ++j) {
            double product = 0;
            for (int k = 1; k <= 3; ++k)
                product += double(values[i - 1][k - 1]) * a[k][j];
            EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-5) << i << " " << j;
        }
    }
    free_matrix(b, 1, 3, 1, 2);
    free_matrix(a, 1, 3, 1, 3);
}

TEST(gaussj, ColumnExchangesAreUndone)
{
    // The pivots lie off the diagonal: a permutation matrix with a scale.
    float **a = matrix(1, 3, 1, 3);
    const float values[3][3] = { { 0, 0, 2 }, { 4, 0, 0 }, { 0, 8, 0 } };
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            a[i][j] = values[i - 1][j - 1];
    }
    gaussj(a, 3, nullptr, 0);
    const float inverse[3][3] = { { 0, 0.25f, 0 }, { 0, 0, 0.125f }, { 0.5f, 0, 0 } };
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(a[i][j], inverse[i - 1][j - 1]) << i << " " << j;
    }
    free_matrix(a, 1, 3, 1, 3);
}

TEST(gaussj, ZeroPivotBecomesOneTenThousandth)
{
    // Singular: after the first step (pivot 4) the remaining pivot is exactly 0.
    float **a = matrix(1, 2, 1, 2);
    float **b = matrix(1, 2, 1, 1);
    a[1][1] = 1;
    a[1][2] = 2;
    a[2][1] = 2;
    a[2][2] = 4;
    b[1][1] = 0;
    b[2][1] = 1;
    EXPECT_NO_THROW(gaussj(a, 2, b, 1));
    // Pivot on 4: row 2 -> [0.5, 0.25]; row 1 -> [0, -0.5]. Pivot 0 -> 1e-4:
    // row 1 -> [10000, -5000]; row 2 -> [-5000, 2500.25].
    EXPECT_EQ(a[1][1], 10000.0f);
    EXPECT_EQ(a[1][2], -5000.0f);
    EXPECT_EQ(a[2][1], -5000.0f);
    EXPECT_EQ(a[2][2], 2500.25f);
    // b: [0, 1] -> [0, 0.25] -> [-0.5, 0.25] -> [-5000, 2500.25].
    EXPECT_EQ(b[1][1], -5000.0f);
    EXPECT_EQ(b[2][1], 2500.25f);

    // All zero: both pivots are replaced, ties going to the last element met.
    a[1][1] = a[1][2] = a[2][1] = a[2][2] = 0;
    gaussj(a, 2, b, 0);
    EXPECT_EQ(a[1][1], 10000.0f);
    EXPECT_EQ(a[2][2], 10000.0f);
    EXPECT_EQ(a[1][2], 0.0f);
    EXPECT_EQ(a[2][1], 0.0f);
    free_matrix(b, 1, 2, 1, 1);
    free_matrix(a, 1, 2, 1, 2);
}

TEST(gaussj, NoUsablePivotRaisesTheSingularText)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const int n : { 1, 2, 3 }) {
        // One good element, NaN everywhere else: after the first pivot no
        // element compares >= 0, so a used column would be needed again.
        float **a = matrix(1, n, 1, n);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j)
                a[i][j] = nan;
        }
        a[1][1] = n == 1 ? nan : 1.0f;
        try {
            gaussj(a, n, nullptr, 0);
            ADD_FAILURE() << "no exception for n = " << n;
        } catch (const CTextException &e) {
            EXPECT_STREQ(e.what(), "gaussj: Singular Matrix-1.");
        }
        free_matrix(a, 1, n, 1, n);
    }
}

// ------------------------------------------------------------------- covsrt

TEST(covsrt, SpreadsTheFittedBlockOverTheParameters)
{
    // Parameters 1 and 3 fitted, 2 held fixed.
    float **c = matrix(1, 3, 1, 3);
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            c[i][j] = 99.0f; // stale values outside the block
    }
    c[1][1] = 1.0f;
    c[1][2] = 2.0f;
    c[2][1] = 2.0f;
    c[2][2] = 3.0f;
    int ia[4] = { 0, 1, 0, 1 };
    covsrt(c, 3, ia, 2);
    const float expected[3][3] = { { 1, 0, 2 }, { 0, 0, 0 }, { 2, 0, 3 } };
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(c[i][j], expected[i - 1][j - 1]) << i << " " << j;
    }

    // Fixed parameter first: the block moves down to 2..3.
    c[1][1] = 5.0f;
    c[1][2] = 6.0f;
    c[2][1] = 6.0f;
    c[2][2] = 7.0f;
    c[3][3] = 99.0f;
    int ia2[4] = { 0, 0, 1, 1 };
    covsrt(c, 3, ia2, 2);
    const float expected2[3][3] = { { 0, 0, 0 }, { 0, 5, 6 }, { 0, 6, 7 } };
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j)
            EXPECT_EQ(c[i][j], expected2[i - 1][j - 1]) << i << " " << j;
    }
    free_matrix(c, 1, 3, 1, 3);
}

// ------------------------------------------------------------- mrqcof/mrqmin

// y = a1 + a2 x (+ a3 x^2 when na = 3).
void polynomialModel(float x, float a[], float *y, float dyda[], int na)
{
    *y = 0.0f;
    float power = 1.0f;
    for (int i = 1; i <= na; ++i) {
        *y += a[i] * power;
        dyda[i] = power;
        power *= x;
    }
}

void nanModel(float, float a[], float *y, float dyda[], int na)
{
    *y = 0.0f;
    for (int i = 1; i <= na; ++i)
        dyda[i] = std::numeric_limits<float>::quiet_NaN();
    (void)a;
}

// 1-based work arrays for a fit, released on destruction.
struct Fit
{
    int ndata;
    int ma;
    float *x;
    float *y;
    float *sig;
    float *a;
    int *ia;
    float **covar;
    float **alpha;

    Fit(int n, int m)
        : ndata(n), ma(m), x(vector(1, n)), y(vector(1, n)), sig(vector(1, n)), a(vector(1, m)),
          ia(ivector(1, m)), covar(matrix(1, m, 1, m)), alpha(matrix(1, m, 1, m))
    {
        for (int i = 1; i <= n; ++i)
            sig[i] = 1.0f;
        for (int l = 1; l <= m; ++l)
            ia[l] = 1;
    }
    ~Fit()
    {
        free_matrix(alpha, 1, ma, 1, ma);
        free_matrix(covar, 1, ma, 1, ma);
        free_ivector(ia, 1, ma);
        free_vector(a, 1, ma);
        free_vector(sig, 1, ndata);
        free_vector(y, 1, ndata);
        free_vector(x, 1, ndata);
    }
    Fit(const Fit &) = delete;
    Fit &operator=(const Fit &) = delete;

    void step(float *chisq, float *alamda, MrqModelFunction model = fgauss)
    {
        mrqmin(x, y, sig, ndata, a, ia, ma, covar, alpha, chisq, model, alamda);
    }
};

TEST(mrqcof, CurvatureGradientAndChiSquareOfALinearModel)
{
    // Points (0, 1), (1, 3), (2, 2) with sigma 1, 1, 2; model a1 + a2 x at (1, 1).
    Fit f(3, 2);
    f.x[1] = 0;
    f.x[2] = 1;
    f.x[3] = 2;
    f.y[1] = 1;
    f.y[2] = 3;
    f.y[3] = 2;
    f.sig[3] = 2;
    f.a[1] = 1;
    f.a[2] = 1;
    float beta[3];
    float chisq = -1;
    mrqcof(f.x, f.y, f.sig, 3, f.a, f.ia, 2, f.alpha, beta, &chisq, polynomialModel);
    // Residuals 0, 1, -1; weights 1, 1, 1/4.
    EXPECT_EQ(chisq, 1.25f);
    EXPECT_EQ(f.alpha[1][1], 2.25f);
    EXPECT_EQ(f.alpha[1][2], 1.5f);
    EXPECT_EQ(f.alpha[2][1], 1.5f);
    EXPECT_EQ(f.alpha[2][2], 2.0f);
    EXPECT_EQ(beta[1], 0.75f);
    EXPECT_EQ(beta[2], 0.5f);

    // Holding a1 leaves a 1 x 1 system for a2 alone.
    f.ia[1] = 0;
    mrqcof(f.x, f.y, f.sig, 3, f.a, f.ia, 2, f.alpha, beta, &chisq, polynomialModel);
    EXPECT_EQ(f.alpha[1][1], 2.0f);
    EXPECT_EQ(beta[1], 0.5f);
}

TEST(mrqmin, LinearFitConvergesAndGivesTheCovariance)
{
    // y = 2 + 3x exactly; the fit starts at (0, 0).
    Fit f(5, 2);
    for (int i = 1; i <= 5; ++i) {
        f.x[i] = float(i - 1);
        f.y[i] = 2.0f + 3.0f * float(i - 1);
    }
    f.a[1] = 0;
    f.a[2] = 0;
    float chisq = 0;
    float alamda = -1;
    for (int it = 0; it < 10; ++it)
        f.step(&chisq, &alamda, polynomialModel);
    EXPECT_NEAR(f.a[1], 2.0f, 1e-4f);
    EXPECT_NEAR(f.a[2], 3.0f, 1e-4f);
    EXPECT_LT(chisq, 1e-6f);

    const float a1 = f.a[1];
    alamda = 0;
    f.step(&chisq, &alamda, polynomialModel);
    EXPECT_EQ(f.a[1], a1); // the final call only computes the covariance
    // Inverse of [[5, 10], [10, 30]] = [[0.6, -0.2], [-0.2, 0.1]].
    EXPECT_NEAR(f.covar[1][1], 0.6f, 1e-5f);
    EXPECT_NEAR(f.covar[1][2], -0.2f, 1e-5f);
    EXPECT_NEAR(f.covar[2][1], -0.2f, 1e-5f);
    EXPECT_NEAR(f.covar[2][2], 0.1f, 1e-5f);

    // The fit is over: a further step has nothing to continue.
    alamda = 0.001f;
    try {
        f.step(&chisq, &alamda, polynomialModel);
        ADD_FAILURE() << "stepped without a fit in progress";
    } catch (const CTextException &e) {
        EXPECT_STREQ(e.what(), "mrqmin: no fit in progress.");
    }
}

TEST(mrqmin, ARejectedStepKeepsChiSquareAndRaisesLambdaTenfold)
{
    // Already at the optimum of a constant model (the mean of 4, 5, 6): the
    // step is exactly zero, so chi-square cannot drop.
    Fit f(3, 1);
    for (int i = 1; i <= 3; ++i) {
        f.x[i] = float(i);
        f.y[i] = 3.0f + float(i);
    }
    f.a[1] = 5.0f;
    float chisq = 0;
    float alamda = -1;
    f.step(&chisq, &alamda, polynomialModel);
    const float best = chisq;
    const float a1 = f.a[1];
    EXPECT_EQ(alamda, float(0.001f * 10.0));
    for (int it = 0; it < 5; ++it) {
        const float before = alamda;
        f.step(&chisq, &alamda, polynomialModel);
        EXPECT_EQ(chisq, best);
        EXPECT_EQ(f.a[1], a1);
        EXPECT_EQ(alamda, float(double(before) * 10.0));
    }
    alamda = 0;
    f.step(&chisq, &alamda, polynomialModel);
}

// The width-only fit of a lane segment, driven the way the band detector
// drives it: amplitudes and centres held, widths fitted, at most 40 steps,
// stopping when chi-square improves by no more than 1e-7.
struct WidthFitTrace
{
    int steps = 0;
    bool chisqNeverRose = true;
    bool rejectedStepsRaisedLambda = true;
    bool sawRejectedStep = false;
};

WidthFitTrace fitWidths(Fit &f)
{
    WidthFitTrace trace;
    for (int l = 1; l <= f.ma; ++l)
        f.ia[l] = l % 3 == 0 ? 1 : 0;
    float alamda = -1.0f;
    float chisq = 1000.0f;
    float previous = 1000.0f;
    double change = -2e-7;
    float best = std::numeric_limits<float>::max();
    while ((change > 0 || change < -1e-7) && trace.steps < 40) {
        ++trace.steps;
        const float lambdaBefore = alamda;
        f.step(&chisq, &alamda);
        if (chisq > best)
            trace.chisqNeverRose = false;
        if (trace.steps > 1 && chisq == best) {
            trace.sawRejectedStep = true;
            if (alamda != float(double(lambdaBefore) * 10.0))
                trace.rejectedStepsRaisedLambda = false;
        }
        best = std::min(best, chisq);
        change = double(chisq - previous);
        previous = chisq;
    }
    alamda = 0.0f;
    f.step(&chisq, &alamda);
    return trace;
}

TEST(mrqmin, WidthOnlyFitRecoversTwoSeparatedGaussians)
{
    // Integer profile of two peaks: (100, 20, 5) and (80, 60, 8).
    const int n = 90;
    Fit f(n, 6);
    for (int i = 1; i <= n; ++i) {
        const double x = i - 1;
        const double v = 100 * std::exp(-std::pow((x - 20) / 5, 2))
            + 80 * std::exp(-std::pow((x - 60) / 8, 2));
        f.x[i] = float(x);
        f.y[i] = float(std::floor(v + 0.5));
    }
    const float seeds[6] = { 100, 20, 3, 80, 60, 12 };
    for (int l = 1; l <= 6; ++l)
        f.a[l] = seeds[l - 1];

    const WidthFitTrace trace = fitWidths(f);
    EXPECT_LE(trace.steps, 40);
    EXPECT_TRUE(trace.chisqNeverRose);
    EXPECT_TRUE(trace.sawRejectedStep); // the fit ends on a step that cannot improve
    EXPECT_TRUE(trace.rejectedStepsRaisedLambda);
    EXPECT_NEAR(f.a[3], 5.0f, 0.05f);
    EXPECT_NEAR(f.a[6], 8.0f, 0.05f);
    // Held parameters did not move.
    EXPECT_EQ(f.a[1], 100.0f);
    EXPECT_EQ(f.a[2], 20.0f);
    EXPECT_EQ(f.a[4], 80.0f);
    EXPECT_EQ(f.a[5], 60.0f);
    // Covariance: fixed parameters have zero rows and columns.
    for (int l = 1; l <= 6; ++l) {
        EXPECT_EQ(f.covar[1][l], 0.0f);
        EXPECT_EQ(f.covar[l][5], 0.0f);
    }
    EXPECT_GT(f.covar[3][3], 0.0f);
    EXPECT_GT(f.covar[6][6], 0.0f);
}

TEST(mrqmin, AFailedSolveAbandonsTheFitAndTheNextOneStartsClean)
{
    Fit f(4, 2);
    for (int i = 1; i <= 4; ++i) {
        f.x[i] = float(i);
        f.y[i] = 1.0f + float(i);
    }
    f.a[1] = 0;
    f.a[2] = 0;
    float chisq = 0;
    float alamda = -1;
    // NaN curvature: gaussj finds no usable pivot.
    EXPECT_THROW(f.step(&chisq, &alamda, nanModel), CTextException);
    alamda = 0.001f;
    EXPECT_THROW(f.step(&chisq, &alamda, polynomialModel), CTextException);

    alamda = -1;
    for (int it = 0; it < 10; ++it)
        f.step(&chisq, &alamda, polynomialModel);
    EXPECT_NEAR(f.a[1], 1.0f, 1e-4f);
    EXPECT_NEAR(f.a[2], 1.0f, 1e-4f);
    alamda = 0;
    f.step(&chisq, &alamda, polynomialModel);
}

} // namespace
