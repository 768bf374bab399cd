#include "numerics/LevenbergMarquardt.h"

#include "platform/Exceptions.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Everything mrqmin carries from one call to the next during a fit. Vectors
// are indexed 1..ma (element 0 unused) so they can be handed to the 1-based
// routines directly.
struct MrqminState
{
    int ma = 0;
    int mfit = 0;
    float ochisq = 0.0f;      // best chi-square so far
    std::vector<float> atry;  // trial parameters
    std::vector<float> beta;  // gradient at the accepted parameters
    std::vector<float> da;    // step; also the trial gradient
    // One-column right-hand side for gaussj: rhsRows[j][1] is rhs[j].
    std::vector<float> rhs;
    std::vector<float *> rhsRows;

    MrqminState(int parameterCount, int fittedCount)
        : ma(parameterCount), mfit(fittedCount), atry(size_t(parameterCount) + 1),
          beta(size_t(parameterCount) + 1), da(size_t(parameterCount) + 1),
          rhs(size_t(fittedCount) + 1), rhsRows(size_t(fittedCount) + 1, nullptr)
    {
        // Row j starts one element before rhs[j - 1] so that its only valid
        // column is 1; for j >= 1 the pointer stays inside the block.
        for (int j = 1; j <= mfit; ++j)
            rhsRows[size_t(j)] = rhs.data() + (j - 1);
    }
};

// One fit at a time: the state exists from the initialising call to the final one.
std::optional<MrqminState> mrqminState;

int countFitted(const int ia[], int ma)
{
    int mfit = 0;
    for (int l = 1; l <= ma; ++l) {
        if (ia[l] != 0)
            ++mfit;
    }
    return mfit;
}

} // namespace

void fgauss(float x, float a[], float *y, float dyda[], int na)
{
    *y = 0.0f;
    // Whole triples only: a trailing incomplete triple would read past a[na].
    for (int i = 1; i + 2 <= na; i += 3) {
        const float amplitude = a[i];
        const float center = a[i + 1];
        const float width = a[i + 2];
        const float arg = (x - center) / width;
        const float ex = static_cast<float>(std::exp(static_cast<double>(-(arg * arg))));
        const float fac = amplitude * ex * 2.0f * arg;
        *y += amplitude * ex;
        dyda[i] = ex;
        dyda[i + 1] = fac / width;
        dyda[i + 2] = fac * arg / width;
    }
}

void mrqcof(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **alpha, float beta[], float *chisq, MrqModelFunction funcs)
{
    const int mfit = countFitted(ia, ma);
    for (int j = 1; j <= mfit; ++j) {
        for (int k = 1; k <= j; ++k)
            alpha[j][k] = 0.0f;
        beta[j] = 0.0f;
    }
    *chisq = 0.0f;

    std::vector<float> dyda(size_t(ma) + 1, 0.0f); // 1-based
    for (int i = 1; i <= ndata; ++i) {
        float ymod = 0.0f;
        funcs(x[i], a, &ymod, dyda.data(), ma);
        const float sig2i = static_cast<float>(1.0 / static_cast<double>(sig[i] * sig[i]));
        const float dy = y[i] - ymod;
        // j and k count the fitted parameters among l and m.
        int j = 0;
        for (int l = 1; l <= ma; ++l) {
            if (ia[l] == 0)
                continue;
            ++j;
            const float wt = dyda[size_t(l)] * sig2i;
            int k = 0;
            for (int m = 1; m <= l; ++m) {
                if (ia[m] != 0)
                    alpha[j][++k] += wt * dyda[size_t(m)];
            }
            beta[j] += dy * wt;
        }
        *chisq += dy * dy * sig2i;
    }

    // The matrix is symmetric; only the lower triangle was accumulated.
    for (int j = 2; j <= mfit; ++j) {
        for (int k = 1; k < j; ++k)
            alpha[k][j] = alpha[j][k];
    }
}

namespace {

void mrqminStep(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
                float **covar, float **alpha, float *chisq, MrqModelFunction funcs, float *alamda)
{
    if (*alamda < 0.0f) {
        // A new fit replaces whatever an abandoned one left behind.
        mrqminState.emplace(ma, countFitted(ia, ma));
        MrqminState &s = *mrqminState;
        *alamda = 0.001f;
        mrqcof(x, y, sig, ndata, a, ia, ma, alpha, s.beta.data(), chisq, funcs);
        s.ochisq = *chisq;
        for (int l = 1; l <= ma; ++l)
            s.atry[size_t(l)] = a[l];
    }
    if (!mrqminState || mrqminState->ma != ma)
        throw CTextException("mrqmin: no fit in progress.");
    MrqminState &s = *mrqminState;
    const int mfit = s.mfit;

    // Damped normal equations: the diagonal grows with lambda, turning the
    // Gauss-Newton step into a short gradient step when lambda is large.
    // The factor is formed in double, as the published method does.
    for (int j = 1; j <= mfit; ++j) {
        for (int k = 1; k <= mfit; ++k)
            covar[j][k] = alpha[j][k];
        covar[j][j] = static_cast<float>(static_cast<double>(alpha[j][j])
                                         * (1.0 + static_cast<double>(*alamda)));
        s.rhsRows[size_t(j)][1] = s.beta[size_t(j)];
    }

    gaussj(covar, mfit, s.rhsRows.data(), 1);
    for (int j = 1; j <= mfit; ++j)
        s.da[size_t(j)] = s.rhsRows[size_t(j)][1];

    if (*alamda == 0.0f) {
        // Final call: covar now holds the inverse curvature matrix.
        covsrt(covar, ma, ia, mfit);
        mrqminState.reset();
        return;
    }

    int j = 0;
    for (int l = 1; l <= ma; ++l) {
        if (ia[l] != 0)
            s.atry[size_t(l)] = a[l] + s.da[size_t(++j)];
    }
    mrqcof(x, y, sig, ndata, s.atry.data(), ia, ma, covar, s.da.data(), chisq, funcs);

    if (*chisq < s.ochisq) {
        *alamda = static_cast<float>(static_cast<double>(*alamda) * 0.1);
        s.ochisq = *chisq;
        for (int jj = 1; jj <= mfit; ++jj) {
            for (int k = 1; k <= mfit; ++k)
                alpha[jj][k] = covar[jj][k];
            s.beta[size_t(jj)] = s.da[size_t(jj)];
        }
        for (int l = 1; l <= ma; ++l)
            a[l] = s.atry[size_t(l)];
    } else {
        *alamda = static_cast<float>(static_cast<double>(*alamda) * 10.0);
        *chisq = s.ochisq;
    }
}

} // namespace

void mrqmin(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **covar, float **alpha, float *chisq, MrqModelFunction funcs, float *alamda)
{
    try {
        mrqminStep(x, y, sig, ndata, a, ia, ma, covar, alpha, chisq, funcs, alamda);
    } catch (...) {
        // The caller abandons the fit; the next one must not inherit its state.
        mrqminState.reset();
        throw;
    }
}

void gaussj(float **a, int n, float **b, int m)
{
    // pivotUsed[c]: column c has served as pivot; pivotRow/pivotCol record
    // each step's pivot position for undoing the row exchanges at the end.
    std::vector<char> pivotUsed(size_t(n) + 1, 0);
    std::vector<int> pivotRow(size_t(n) + 1, 0);
    std::vector<int> pivotCol(size_t(n) + 1, 0);

    for (int step = 1; step <= n; ++step) {
        // Full pivoting: the largest magnitude among rows and columns not used
        // yet; on ties the last one met wins (>=).
        float big = 0.0f;
        int irow = 0;
        int icol = 0;
        for (int r = 1; r <= n; ++r) {
            if (pivotUsed[size_t(r)])
                continue;
            for (int c = 1; c <= n; ++c) {
                if (!pivotUsed[size_t(c)] && std::fabs(a[r][c]) >= big) {
                    big = std::fabs(a[r][c]);
                    irow = r;
                    icol = c;
                }
            }
        }
        // Nothing compared >= 0 (NaN entries): the only column left to pick
        // would be one already used. Refuse rather than eliminate with garbage.
        if (icol == 0)
            throw CTextException("gaussj: Singular Matrix-1.");
        pivotUsed[size_t(icol)] = 1;

        // Bring the pivot onto the diagonal by a row exchange; the columns of
        // the inverse are put back in order at the end.
        if (irow != icol) {
            for (int c = 1; c <= n; ++c)
                std::swap(a[irow][c], a[icol][c]);
            for (int c = 1; c <= m; ++c)
                std::swap(b[irow][c], b[icol][c]);
        }
        pivotRow[size_t(step)] = irow;
        pivotCol[size_t(step)] = icol;

        // A singular matrix gives an exact zero here; a small pivot keeps the
        // fit going (the step is then huge, and mrqmin rejects it).
        if (a[icol][icol] == 0.0f)
            a[icol][icol] = 1e-4f;
        const float pivinv = 1.0f / a[icol][icol];
        a[icol][icol] = 1.0f;
        for (int c = 1; c <= n; ++c)
            a[icol][c] *= pivinv;
        for (int c = 1; c <= m; ++c)
            b[icol][c] *= pivinv;

        for (int r = 1; r <= n; ++r) {
            if (r == icol)
                continue;
            const float factor = a[r][icol];
            a[r][icol] = 0.0f;
            for (int c = 1; c <= n; ++c)
                a[r][c] -= a[icol][c] * factor;
            for (int c = 1; c <= m; ++c)
                b[r][c] -= b[icol][c] * factor;
        }
    }

    // Row exchanges of the matrix are column exchanges of its inverse, undone
    // in reverse order.
    for (int step = n; step >= 1; --step) {
        const int r = pivotRow[size_t(step)];
        const int c = pivotCol[size_t(step)];
        if (r == c)
            continue;
        for (int k = 1; k <= n; ++k)
            std::swap(a[k][r], a[k][c]);
    }
}

void covsrt(float **covar, int ma, int ia[], int mfit)
{
    for (int i = mfit + 1; i <= ma; ++i) {
        for (int j = 1; j <= i; ++j) {
            covar[i][j] = 0.0f;
            covar[j][i] = 0.0f;
        }
    }
    // The fitted block sits at 1..mfit in the order of the fitted parameters.
    // Walking the parameters from the last one down, the k-th fitted one moves
    // from row/column k to its own index l >= k, swapping with the zeroed
    // row/column of a fixed parameter.
    int k = mfit;
    for (int l = ma; l >= 1; --l) {
        if (ia[l] == 0)
            continue;
        for (int i = 1; i <= ma; ++i)
            std::swap(covar[i][k], covar[i][l]);
        for (int i = 1; i <= ma; ++i)
            std::swap(covar[k][i], covar[l][i]);
        --k;
    }
}
