#pragma once

// Single-precision LU decomposition on 1-based matrices and vectors from the
// allocators of NRUtil.h.

// Replaces a[1..n][1..n] by the LU factors of a row permutation of itself
// (Crout's method with implicit partial pivoting: each pivot candidate is
// compared relative to the largest element of its row). indx[1..n] receives
// the row exchanged at each step, d is +1 or -1 for an even or odd number of
// exchanges. A singular matrix (a zero row or a zero pivot) is fatal:
// nrerror("ludcmp: Singular matrix.").
void ludcmp(float **a, int n, int *indx, float *d);

// Solves A x = b with the factors from ludcmp; b[1..n] is replaced by x.
void lubksb(float **a, int n, int *indx, float b[]);
