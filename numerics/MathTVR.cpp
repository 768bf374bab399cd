#include "numerics/MathTVR.h"

#include "data/CDoubleDataArray.h"
#include "data/CIntDataArray.h"
#include "numerics/Matrix.h"
#include "numerics/Vector.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// The correlation rule shared by every fit: r = 1 for a perfect fit (and for
// no points), 0 when the model is worse than the mean, else sqrt(1 - SSE/SST).
template<typename Model>
double fitCorrelation(const CDoubleDataArray &x, const CDoubleDataArray &y, Model model)
{
    const int n = y.GetSize();
    double mean = 0.0;
    for (int i = 0; i < n; ++i)
        mean += y[i];
    mean /= n;
    double sst = 0.0;
    double sse = 0.0;
    for (int i = 0; i < n; ++i) {
        sst += (y[i] - mean) * (y[i] - mean);
        const double residual = y[i] - model(x[i]);
        sse += residual * residual;
    }
    if (sse == 0.0 || n == 0)
        return 1.0;
    if (sse > sst)
        return 0.0;
    return std::sqrt((sst - sse) / sst);
}

// Number of different values among x[0..n-1].
int distinctCount(const CDoubleDataArray &x, int n)
{
    std::vector<double> values;
    values.reserve(size_t(n));
    for (int i = 0; i < n; ++i)
        values.push_back(x[i]);
    std::sort(values.begin(), values.end());
    return int(std::unique(values.begin(), values.end()) - values.begin());
}

} // namespace

float MathTVR::xFromPolar(float r, float angle)
{
    return r * std::cos(angle);
}

float MathTVR::yFromPolar(float r, float angle)
{
    return r * std::sin(angle);
}

int MathTVR::round(float x)
{
    return int(std::floor(x + 0.5));
}

int MathTVR::round(double x)
{
    return int(std::floor(x + 0.5));
}

float MathTVR::degrees2Radians(float x)
{
    return float(x * 3.14159265 / 180);
}

double MathTVR::square(double x)
{
    return x * x;
}

double MathTVR::map(double v, double fromLow, double fromHigh, double toLow, double toHigh)
{
    return (v - fromLow) / (fromHigh - fromLow) * (toHigh - toLow) + toLow;
}

double MathTVR::lerp(double a, double b, double t)
{
    return (b - a) * t + a;
}

double MathTVR::average(const double *values, int first, int last)
{
    if (last < first)
        return std::numeric_limits<double>::quiet_NaN();
    double sum = 0.0;
    for (int i = first; i <= last; ++i)
        sum += values[i];
    return sum / (last - first + 1);
}

double MathTVR::getCombinedVariance(const CIntDataArray *A, const CIntDataArray *B)
{
    const double nA = A->GetSize();
    const double nB = B->GetSize();
    // The means are the arrays' integer means.
    const double mA = A->GetMean();
    const double mB = B->GetMean();
    const double sA = A->GetStandardDeviation();
    const double sB = B->GetStandardDeviation();
    const double m = (nA * mA + nB * mB) / (nA + nB);
    return (nA * (sA * sA + (mA - m) * (mA - m)) + nB * (sB * sB + (mB - m) * (mB - m)))
        / (nA + nB);
}

double MathTVR::getSimpleDeviation(const CIntDataArray *A, const CIntDataArray *B)
{
    return std::fabs(double(A->GetMean()) - double(B->GetMean()));
}

double MathTVR::atanDeg(double x)
{
    return std::atan(x) * 57.29577957855229;
}

double MathTVR::sinDeg(double x)
{
    return std::sin(x * 0.017453292500000002);
}

double MathTVR::cosDeg(double x)
{
    return std::cos(x * 0.017453292500000002);
}

double MathTVR::Determinant3x3(double **m)
{
    return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1]
        - m[0][2] * m[1][1] * m[2][0] - m[0][0] * m[1][2] * m[2][1] - m[0][1] * m[1][0] * m[2][2];
}

// Expansion along the first row.
double MathTVR::Determinant4x4(double **m)
{
    double result = 0.0;
    double sign = 1.0;
    for (int col = 0; col < 4; ++col) {
        double minor[3][3];
        for (int r = 1; r < 4; ++r) {
            int c2 = 0;
            for (int c = 0; c < 4; ++c) {
                if (c != col)
                    minor[r - 1][c2++] = m[r][c];
            }
        }
        double *rows[3] = {minor[0], minor[1], minor[2]};
        result += sign * m[0][col] * Determinant3x3(rows);
        sign = -sign;
    }
    return result;
}

void MathTVR::Solve3x3Matrix(double **m, double &a, double &b, double &c)
{
    double work[3][3];
    double *rows[3] = {work[0], work[1], work[2]};
    double results[3];
    for (int r = 0; r < 3; ++r)
        std::copy_n(m[r], 3, work[r]);
    const double det = Determinant3x3(rows);
    for (int col = 0; col < 3; ++col) {
        for (int r = 0; r < 3; ++r) {
            std::copy_n(m[r], 3, work[r]);
            work[r][col] = m[r][3];
        }
        results[col] = Determinant3x3(rows) / det;
    }
    a = results[0];
    b = results[1];
    c = results[2];
}

void MathTVR::Solve4x4Matrix(double **m, double &a, double &b, double &c, double &d)
{
    double work[4][4];
    double *rows[4] = {work[0], work[1], work[2], work[3]};
    double results[4];
    for (int r = 0; r < 4; ++r)
        std::copy_n(m[r], 4, work[r]);
    const double det = Determinant4x4(rows);
    for (int col = 0; col < 4; ++col) {
        for (int r = 0; r < 4; ++r) {
            std::copy_n(m[r], 4, work[r]);
            work[r][col] = m[r][4];
        }
        results[col] = Determinant4x4(rows) / det;
    }
    a = results[0];
    b = results[1];
    c = results[2];
    d = results[3];
}

int MathTVR::LinearRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                              CDoubleDataArray &coefficients)
{
    coefficients.RemoveAll();
    const int n = y.GetSize();
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (int i = 0; i < n; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double a1 = (n * sxy - sy * sx) / (n * sxx - sx * sx);
    const double a0 = sy / n - (sx / n) * a1;
    coefficients.Add(a0);
    coefficients.Add(a1);
    coefficients.Add(
        fitCorrelation(x, y, [=](double v) { return EvaluateLinearModel(v, a0, a1); }));
    return 1;
}

double MathTVR::LinearRegression(const CArray<CPoint> &points, double &intercept, double &slope)
{
    CDoubleDataArray x;
    CDoubleDataArray y;
    for (const CPoint &p : points) {
        x.Add(double(p.x));
        y.Add(double(p.y));
    }
    CDoubleDataArray coefficients;
    LinearRegression(x, y, coefficients);
    intercept = coefficients[0];
    slope = coefficients[1];
    return coefficients[2];
}

int MathTVR::SecondOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                   CDoubleDataArray &coefficients)
{
    coefficients.RemoveAll();
    const int n = y.GetSize();
    double s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, sy = 0.0, sxy = 0.0, sxxy = 0.0;
    for (int i = 0; i < n; ++i) {
        const double xi = x[i];
        const double x2 = xi * xi;
        s1 += xi;
        s2 += x2;
        s3 += x2 * xi;
        s4 += x2 * x2;
        sy += y[i];
        sxy += xi * y[i];
        sxxy += x2 * y[i];
    }
    double normal[3][4] = {{double(n), s1, s2, sy}, {s1, s2, s3, sxy}, {s2, s3, s4, sxxy}};
    double *rows[3] = {normal[0], normal[1], normal[2]};
    double a0 = 0.0, a1 = 0.0, a2 = 0.0;
    Solve3x3Matrix(rows, a0, a1, a2);
    coefficients.Add(a0);
    coefficients.Add(a1);
    coefficients.Add(a2);
    coefficients.Add(
        fitCorrelation(x, y, [=](double v) { return EvaluateSecondOrderModel(v, a0, a1, a2); }));
    return 1;
}

int MathTVR::ThirdOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                  CDoubleDataArray &coefficients)
{
    coefficients.RemoveAll();
    const int n = y.GetSize();
    try {
        // With fewer than four distinct x the normal equations are singular, but
        // rounding leaves a tiny nonzero last pivot that the decomposition's
        // threshold does not catch; refuse such data here instead.
        if (distinctCount(x, n) < 4)
            return 0;
        double powerSums[7] = {};
        double rhs[4] = {};
        for (int i = 0; i < n; ++i) {
            double p = 1.0;
            for (int k = 0; k < 7; ++k) {
                powerSums[k] += p;
                if (k < 4)
                    rhs[k] += p * y[i];
                p *= x[i];
            }
        }
        Matrix normal(4, 4);
        Vector solution(4);
        for (int k = 0; k < 4; ++k) {
            for (int j = 0; j < 4; ++j)
                normal.FastSetAt(k, j, powerSums[j + k]);
            solution.FastSetAt(k, rhs[k]);
        }
        normal.LUSolve(solution);
        const double a0 = solution[0], a1 = solution[1], a2 = solution[2], a3 = solution[3];
        const double r = fitCorrelation(
            x, y, [=](double v) { return EvaluateThirdOrderModel(v, a0, a1, a2, a3); });
        coefficients.Add(a0);
        coefficients.Add(a1);
        coefficients.Add(a2);
        coefficients.Add(a3);
        coefficients.Add(r);
        return 1;
    } catch (...) {
        // Any failure of the solve, whatever raised it, is a failed fit.
        coefficients.RemoveAll();
        return 0;
    }
}

int MathTVR::LogarithmicRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                   CDoubleDataArray &coefficients)
{
    coefficients.RemoveAll();
    const int n = y.GetSize();
    double sl = 0.0, sll = 0.0, sly = 0.0, sy = 0.0;
    for (int i = 0; i < n; ++i) {
        const double l = std::log(x[i]);
        sl += l;
        sll += l * l;
        sly += l * y[i];
        sy += y[i];
    }
    const double a1 = (n * sly - sy * sl) / (n * sll - sl * sl);
    const double a0 = sy / n - (sl / n) * a1;
    coefficients.Add(a0);
    coefficients.Add(a1);
    coefficients.Add(
        fitCorrelation(x, y, [=](double v) { return EvaluateLogarithmicModel(v, a0, a1); }));
    return 1;
}

int MathTVR::InverseLinearRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                     CDoubleDataArray &coefficients)
{
    return LinearRegression(y, x, coefficients);
}

int MathTVR::InverseSecondOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                          CDoubleDataArray &coefficients)
{
    return SecondOrderRegression(y, x, coefficients);
}

int MathTVR::InverseThirdOrderRegression(const CDoubleDataArray &x, const CDoubleDataArray &y,
                                         CDoubleDataArray &coefficients)
{
    return ThirdOrderRegression(y, x, coefficients);
}

int MathTVR::ReciprocalRegression(const CDoubleDataArray &, const CDoubleDataArray &,
                                  CDoubleDataArray &)
{
    return 0;
}

double MathTVR::EvaluateLinearModel(double x, double a0, double a1)
{
    return a1 * x + a0;
}

double MathTVR::EvaluateSecondOrderModel(double x, double a0, double a1, double a2)
{
    return x * a2 * x + (x * a1 + a0);
}

double MathTVR::EvaluateThirdOrderModel(double x, double a0, double a1, double a2, double a3)
{
    return x * a2 * x + (x * a1 + a0) + x * a3 * x * x;
}

double MathTVR::EvaluateInverseLinearModel(double y, double a0, double a1)
{
    return (y - a0) / a1;
}

double MathTVR::EvaluateLogarithmicModel(double x, double a0, double a1)
{
    return std::log(x) * a1 + a0;
}

double MathTVR::EvaluateReciprocalModel(double x, double a0, double a1)
{
    return a1 / x + a0;
}

double MathTVR::EvaluateNonlinearAdaptiveModel(double x, double b, double c, double d, double e)
{
    double q = 0.0;
    if (x != e)
        q = std::max(0.0, (b - x) / (x - e));
    return d * std::pow(q, 1.0 / c);
}

double MathTVR::RoundToTwoDecimals(double x)
{
    if (x > 1.0)
        return x;
    return double(int(x * 100 + 0.5)) / 100;
}

bool MathTVR::NewtonSolve(const Function &f, const Function &derivative, double y, double tolerance,
                          double low, double high, double &x)
{
    double current = (low + high) / 2;
    for (int step = 0; step < 100; ++step) {
        const double slope = derivative(current);
        if (slope == 0.0)
            return false;
        const double next = current - (f(current) - y) / slope;
        if (std::fabs(current - next) < tolerance) {
            x = next;
            return true;
        }
        current = next;
    }
    return false;
}

bool MathTVR::BisectionSolve(const Function &f, double y, double tolerance, double low, double high,
                             double &x)
{
    double fLow = f(low) - y;
    const double fHigh = f(high) - y;
    if (fLow == 0.0) {
        x = low;
        return true;
    }
    if (fHigh == 0.0) {
        x = high;
        return true;
    }
    if (!((fLow < 0.0 && fHigh > 0.0) || (fLow > 0.0 && fHigh < 0.0)))
        return false;
    double mid = (low + high) / 2;
    while (tolerance < high - low) {
        mid = (low + high) / 2;
        // A tolerance below the spacing of doubles would otherwise never end.
        if (mid <= low || mid >= high)
            break;
        const double fMid = f(mid) - y;
        if (fMid == 0.0)
            break;
        if ((fLow < 0.0) != (fMid < 0.0)) {
            high = mid;
        } else {
            low = mid;
            fLow = fMid;
        }
    }
    x = mid;
    return true;
}

bool MathTVR::Solve(const Function &f, const Function &derivative, double y, double tolerance,
                    double low, double high, double &x)
{
    double root = 0.0;
    // Newton may converge to a root outside the interval; only one inside counts.
    if (NewtonSolve(f, derivative, y, tolerance, low, high, root) && root >= low && root <= high) {
        x = root;
        return true;
    }
    return BisectionSolve(f, y, tolerance, low, high, x);
}
