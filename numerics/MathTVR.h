#pragma once

// Stateless numerical operations: rounding, mapping, small determinants and
// linear systems, and the least-squares curve fits used for calibration.
//
// Every fit empties its coefficient array first and, on success, fills it with
// the model coefficients from the constant term upward followed by the
// correlation coefficient r. The number of points is the length of the y
// array; reading past the end of a shorter x array raises CInvalidArgException.

#include "platform/CArray.h"
#include "platform/Geometry.h"

#include <functional>

class CIntDataArray;
class CDoubleDataArray;

class MathTVR
{
public:
    MathTVR() = delete;

    static float xFromPolar(float r, float angle);
    static float yFromPolar(float r, float angle);
    static int round(float x);
    static int round(double x);
    static float degrees2Radians(float x);
    static double square(double x);
    static double map(double v, double fromLow, double fromHigh, double toLow, double toHigh);
    static double lerp(double a, double b, double t);
    // Mean of values[first..last] inclusive; NaN when last < first.
    static double average(const double *values, int first, int last);
    static double getCombinedVariance(const CIntDataArray *A, const CIntDataArray *B);
    static double getSimpleDeviation(const CIntDataArray *A, const CIntDataArray *B);
    static double atanDeg(double x);
    static double sinDeg(double x);
    static double cosDeg(double x);

    // Matrices given as row pointers; the Solve forms take augmented matrices
    // (3 x 4, 4 x 5) whose last column is the right-hand side (Cramer's rule,
    // no singularity test).
    static double Determinant3x3(double **m);
    static double Determinant4x4(double **m);
    static void Solve3x3Matrix(double **m, double &a, double &b, double &c);
    static void Solve4x4Matrix(double **m, double &a, double &b, double &c, double &d);

    static int LinearRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                CDoubleDataArray &coefficients);
    static int SecondOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                     CDoubleDataArray &coefficients);
    // 0 (and an empty coefficient array) when the system is singular,
    // including when x holds fewer than four distinct values.
    static int ThirdOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                    CDoubleDataArray &coefficients);
    static int LogarithmicRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                     CDoubleDataArray &coefficients);
    // The same fits with x and y exchanged: x as a function of y.
    static int InverseLinearRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                       CDoubleDataArray &coefficients);
    static int InverseSecondOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                            CDoubleDataArray &coefficients);
    static int InverseThirdOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                           CDoubleDataArray &coefficients);
    // Not available: always 0, the coefficient array is left untouched.
    static int ReciprocalRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                    CDoubleDataArray &coefficients);
    // Straight line through points; returns r.
    static double LinearRegression(const CArray<CPoint> &points, double &intercept, double &slope);

    static double EvaluateLinearModel(double x, double a0, double a1);
    static double EvaluateSecondOrderModel(double x, double a0, double a1, double a2);
    static double EvaluateThirdOrderModel(double x, double a0, double a1, double a2, double a3);
    static double EvaluateInverseLinearModel(double y, double a0, double a1);
    static double EvaluateLogarithmicModel(double x, double a0, double a1);
    static double EvaluateReciprocalModel(double x, double a0, double a1);
    static double EvaluateNonlinearAdaptiveModel(double x, double b, double c, double d, double e);

    // x itself above 1, otherwise rounded to two decimals.
    static double RoundToTwoDecimals(double x);

    // Root finding for f(x) = y on [low, high], shared by the polynomial
    // classes. NewtonSolve starts at the midpoint (at most 100 steps);
    // BisectionSolve needs a sign change over the interval. Solve tries Newton
    // and falls back to bisection when Newton fails or leaves [low, high].
    using Function = std::function<double(double)>;
    static bool NewtonSolve(const Function &f, const Function &derivative, double y,
                            double tolerance, double low, double high, double &x);
    static bool BisectionSolve(const Function &f, double y, double tolerance, double low,
                               double high, double &x);
    static bool Solve(const Function &f, const Function &derivative, double y, double tolerance,
                      double low, double high, double &x);
};
