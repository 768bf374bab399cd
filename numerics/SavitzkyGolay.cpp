#include "numerics/SavitzkyGolay.h"

#include "numerics/LUDecomposition.h"
#include "numerics/NRUtil.h"

namespace {

// k^e with 0^0 = 1.
float power(int k, int e)
{
    float p = 1.0f;
    for (int i = 0; i < e; ++i)
        p *= float(k);
    return p;
}

} // namespace

void savgol(float c[], int np, int nl, int nr, int ld, int m)
{
    // ld < 0 and m < 0 would index outside the work arrays; refused like the others.
    if (np < nl + nr + 1 || nl < 0 || nr < 0 || ld < 0 || ld > m || nl + nr < m)
        nrerror("bad args in savgol");

    // The local polynomial b_0 + b_1 k + ... + b_m k^m fitted over k = -nl..nr
    // gives coefficients linear in the data; the weight of sample k in b_ld is
    // row ld of (A^T A)^-1 A^T with A[k][j] = k^j. Solving the normal matrix
    // for the unit vector e_ld gives that row once for all samples.
    const int size = m + 1;
    float **normal = matrix(1, size, 1, size);
    int *pivots = ivector(1, size);
    float *b = vector(1, size);
    for (int i = 0; i <= m; ++i) {
        for (int j = 0; j <= m; ++j) {
            float sum = 0.0f;
            for (int k = -nl; k <= nr; ++k)
                sum += power(k, i + j);
            normal[i + 1][j + 1] = sum;
        }
        b[i + 1] = 0.0f;
    }
    b[ld + 1] = 1.0f;

    float parity = 0.0f;
    ludcmp(normal, size, pivots, &parity);
    lubksb(normal, size, pivots, b);

    for (int i = 1; i <= np; ++i)
        c[i] = 0.0f;
    for (int k = -nl; k <= nr; ++k) {
        float weight = 0.0f;
        for (int j = 0; j <= m; ++j)
            weight += b[j + 1] * power(k, j);
        c[(np - k) % np + 1] = weight;
    }

    free_vector(b, 1, size);
    free_ivector(pivots, 1, size);
    free_matrix(normal, 1, size, 1, size);
}
