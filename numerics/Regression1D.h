#pragma once

// Least-squares fit of a polynomial of a given order in one variable to n
// samples (x, y), with evaluation, derivatives and root finding on the model.

#include "numerics/PolyRhomb.h"

#include <memory>
#include <vector>

class Regression1D
{
public:
    // Copies the n samples.
    Regression1D(int n, const double *x, const double *y, int order);
    Regression1D(const Regression1D &other) = default;
    Regression1D &operator=(const Regression1D &other) = default;
    virtual ~Regression1D();

    // Solves the normal equations and stores the coefficients in the polynomial.
    // Throws CTextException "Regression1D::FitPolynomial: Sample size is too
    // small" when there are fewer samples than terms; returns false when the
    // normal equations are singular (the polynomial is then left unchanged).
    bool FitPolynomial();

    double Evaluate(double x) const;
    double EvaluateDerivative(double x) const;
    double EvaluateSecondDerivative(double x) const;

    // Pearson correlation between model values and data values.
    double GetCorrelationCoefficient() const;
    // Root mean square of the residuals of the last fit; -1.0 before any fit.
    double GetResidualRSM() const { return m_residual; }

    const PolyRhomb &GetPolynomial() const { return m_polynomial; }
    int GetSampleSize() const { return m_sampleSize; }
    const std::vector<double> &GetSampleValues() const { return m_x; }
    const std::vector<double> &GetDataValues() const { return m_y; }
    std::vector<double> GetModelCoefficients() const { return m_polynomial.GetCoefficients(); }
    const std::vector<double> &GetModelValues() const { return m_modelValues; }

    std::unique_ptr<Regression1D> Clone() const;
    void Dump() const;

    // x in [low, high] with model(x) = y, see MathTVR::Solve.
    bool Solve(double y, double tolerance, double low, double high, double &x) const;
    bool NewtonSolve(double y, double tolerance, double low, double high, double &x) const;
    bool BisectionSolve(double y, double tolerance, double low, double high, double &x) const;

private:
    int m_sampleSize = 0;
    std::vector<double> m_x;
    std::vector<double> m_y;
    PolyRhomb m_polynomial;
    std::vector<double> m_modelValues;
    double m_residual = -1.0;
};
