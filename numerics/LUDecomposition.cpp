#include "numerics/LUDecomposition.h"

#include "numerics/NRUtil.h"

#include <algorithm>
#include <cmath>
#include <utility>

void ludcmp(float **a, int n, int *indx, float *d)
{
    float *rowScale = vector(1, n);
    for (int i = 1; i <= n; ++i) {
        float largest = 0.0f;
        for (int j = 1; j <= n; ++j)
            largest = std::max(largest, std::fabs(a[i][j]));
        if (largest == 0.0f) {
            free_vector(rowScale, 1, n);
            nrerror("ludcmp: Singular matrix.");
        }
        rowScale[i] = 1.0f / largest;
    }

    *d = 1.0f;
    for (int j = 1; j <= n; ++j) {
        // Rows above the diagonal: finish U's column j.
        for (int i = 1; i < j; ++i) {
            float s = a[i][j];
            for (int k = 1; k < i; ++k)
                s -= a[i][k] * a[k][j];
            a[i][j] = s;
        }
        // Diagonal and below: candidates for the pivot.
        int pivotRow = j;
        float best = -1.0f;
        for (int i = j; i <= n; ++i) {
            float s = a[i][j];
            for (int k = 1; k < j; ++k)
                s -= a[i][k] * a[k][j];
            a[i][j] = s;
            const float merit = rowScale[i] * std::fabs(s);
            if (merit > best) {
                best = merit;
                pivotRow = i;
            }
        }
        if (pivotRow != j) {
            for (int k = 1; k <= n; ++k)
                std::swap(a[pivotRow][k], a[j][k]);
            rowScale[pivotRow] = rowScale[j];
            *d = -*d;
        }
        indx[j] = pivotRow;
        if (a[j][j] == 0.0f) {
            free_vector(rowScale, 1, n);
            nrerror("ludcmp: Singular matrix.");
        }
        const float pivot = a[j][j];
        for (int i = j + 1; i <= n; ++i)
            a[i][j] /= pivot;
    }
    free_vector(rowScale, 1, n);
}

void lubksb(float **a, int n, int *indx, float b[])
{
    // Forward through L (unit diagonal), applying the exchanges on the way.
    // Leading zeros of the permuted right-hand side contribute nothing, so the
    // sums start at the first nonzero element.
    int firstNonzero = 0;
    for (int i = 1; i <= n; ++i) {
        const int p = indx[i];
        float s = b[p];
        b[p] = b[i];
        if (firstNonzero) {
            for (int k = firstNonzero; k < i; ++k)
                s -= a[i][k] * b[k];
        } else if (s != 0.0f) {
            firstNonzero = i;
        }
        b[i] = s;
    }
    // Backward through U.
    for (int i = n; i >= 1; --i) {
        float s = b[i];
        for (int k = i + 1; k <= n; ++k)
            s -= a[i][k] * b[k];
        b[i] = s / a[i][i];
    }
}
