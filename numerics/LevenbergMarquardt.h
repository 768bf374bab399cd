#pragma once

// Non-linear least squares by the Levenberg-Marquardt method, in single
// precision on 1-based arrays from numerics/NRUtil.h, with the Gaussian model
// used to separate overlapping bands.
//
// Parameters a[1..ma]; ia[l] != 0 marks a[l] as fitted, 0 holds it fixed.
// alpha and covar are ma x ma matrices of which the leading mfit x mfit block
// (mfit = number of fitted parameters) is used during the fit.
//
// Errors raise CTextException with a fixed text (callers catch it and mark the
// fit as failed).

// A model: y(x; a[1..na]) and its partial derivatives dyda[1..na].
using MrqModelFunction = void (*)(float x, float a[], float *y, float dyda[], int na);

// Sum of Gaussians, parameters in triples (amplitude, center, width):
// y = sum B * exp(-((x - E) / G)^2). Only complete triples are used.
void fgauss(float x, float a[], float *y, float dyda[], int na);

// Curvature matrix alpha[1..mfit][1..mfit] (half the Hessian of chi-square,
// from first derivatives only), gradient beta[1..mfit] (minus half the
// gradient) and chi-square of the parameters a.
void mrqcof(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **alpha, float beta[], float *chisq, MrqModelFunction funcs);

// One Levenberg-Marquardt step.
//  - *alamda < 0: starts a fit (lambda := 0.001, chi-square of a), then steps.
//  - *alamda > 0: steps; an improving step is taken (lambda / 10), any other is
//    rejected (lambda * 10, *chisq back to the best value, a unchanged).
//  - *alamda == 0: puts the covariance matrix into covar (fitted parameters at
//    their own indices, fixed ones 0) and ends the fit; a is not changed.
// The fit's working state lives in the library between calls, so only one fit
// may be in progress at a time. When gaussj raises during a call the fit is
// abandoned (its state released) and the exception passes on; a step without a
// fit in progress raises CTextException("mrqmin: no fit in progress.").
void mrqmin(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **covar, float **alpha, float *chisq, MrqModelFunction funcs, float *alamda);

// Gauss-Jordan elimination with full pivoting: a[1..n][1..n] is replaced by its
// inverse and b[1..n][1..m] by the solutions of a * x = b. A column needed as
// pivot a second time (no usable element left, e.g. NaN entries) raises
// CTextException("gaussj: Singular Matrix-1."); an exactly zero pivot is
// replaced by 1e-4 and the elimination goes on.
void gaussj(float **a, int n, float **b, int m);

// Spreads the mfit x mfit covariance block of covar over 1..ma x 1..ma so that
// fitted parameters sit at their own indices; rows and columns of fixed
// parameters become 0.
void covsrt(float **covar, int ma, int ia[], int mfit);
