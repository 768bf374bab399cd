#include "numerics/Regression1D.h"

#include "numerics/MathTVR.h"
#include "numerics/Matrix.h"
#include "numerics/Vector.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <cstdio>

Regression1D::Regression1D(int n, const double *x, const double *y, int order)
    : m_sampleSize(n), m_x(x, x + n), m_y(y, y + n), m_polynomial(1, &order, order)
{ }

Regression1D::~Regression1D() = default;

bool Regression1D::FitPolynomial()
{
    const int m = m_polynomial.GetNumTerms();
    if (m_sampleSize < m)
        throw CTextException("Regression1D::FitPolynomial: Sample size is too small");
    std::vector<std::vector<double>> points;
    points.reserve(size_t(m_sampleSize));
    for (int i = 0; i < m_sampleSize; ++i)
        points.push_back({m_x[size_t(i)]});
    return m_polynomial.FitTo(points, m_y, m_modelValues, m_residual, "Regression1D");
}

double Regression1D::Evaluate(double x) const
{
    return m_polynomial.Evaluate(&x);
}

double Regression1D::EvaluateDerivative(double x) const
{
    return m_polynomial.EvaluateDerivative(&x, 0);
}

double Regression1D::EvaluateSecondDerivative(double x) const
{
    return m_polynomial.EvaluateSecondDerivative(&x, 0, 0);
}

double Regression1D::GetCorrelationCoefficient() const
{
    const size_t n = m_modelValues.size();
    double meanModel = 0.0;
    double meanData = 0.0;
    for (size_t i = 0; i < n; ++i) {
        meanModel += m_modelValues[i];
        meanData += m_y[i];
    }
    meanModel /= double(n);
    meanData /= double(n);
    double cross = 0.0, ssData = 0.0, ssModel = 0.0;
    for (size_t i = 0; i < n; ++i) {
        cross += (m_modelValues[i] - meanModel) * (m_y[i] - meanData);
        ssData += (m_y[i] - meanData) * (m_y[i] - meanData);
        ssModel += (m_modelValues[i] - meanModel) * (m_modelValues[i] - meanModel);
    }
    return cross / (std::sqrt(ssData) * std::sqrt(ssModel));
}

std::unique_ptr<Regression1D> Regression1D::Clone() const
{
    return std::make_unique<Regression1D>(*this);
}

void Regression1D::Dump() const
{
    std::printf("Regression1D: %d samples, residual %g\n", m_sampleSize, m_residual);
    for (int i = 0; i < m_sampleSize; ++i)
        std::printf("%g %g\n", m_x[size_t(i)], m_y[size_t(i)]);
    m_polynomial.Dump();
}

bool Regression1D::Solve(double y, double tolerance, double low, double high, double &x) const
{
    return MathTVR::Solve([this](double v) { return Evaluate(v); },
                          [this](double v) { return EvaluateDerivative(v); }, y, tolerance, low,
                          high, x);
}

bool Regression1D::NewtonSolve(double y, double tolerance, double low, double high, double &x) const
{
    return MathTVR::NewtonSolve([this](double v) { return Evaluate(v); },
                                [this](double v) { return EvaluateDerivative(v); }, y, tolerance,
                                low, high, x);
}

bool Regression1D::BisectionSolve(double y, double tolerance, double low, double high,
                                  double &x) const
{
    return MathTVR::BisectionSolve([this](double v) { return Evaluate(v); }, y, tolerance, low,
                                   high, x);
}
