#pragma once

// Savitzky-Golay smoothing and differentiation coefficients (single precision,
// 1-based array from the allocators of NRUtil.h).
//
// Fills c[1..np] with the weights of a window of nl points to the left and nr
// to the right, from a least-squares polynomial of order m; ld = 0 smooths,
// ld > 0 gives the coefficient of x^ld of the local polynomial (multiply by
// ld! for the derivative). The weights are stored in wrap-around order: the
// weight of the centre point in c[1], of the point k to its left in c[k + 1],
// of the point k to its right in c[np - k + 1]; positions beyond the window
// are 0. Invalid arguments are fatal: nrerror("bad args in savgol").
void savgol(float c[], int np, int nl, int nr, int ld, int m);
