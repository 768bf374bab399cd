#include "numerics/Regression2D.h"

#include "numerics/Matrix.h"
#include "numerics/Vector.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <cstdio>

namespace {

PolyRhomb makePolynomial(int xOrder, int yOrder, int crossOrder)
{
    const int orders[2] = {xOrder, yOrder};
    return PolyRhomb(2, orders, crossOrder);
}

} // namespace

Regression2D::Regression2D(int n, const SamplePoint *samples, int xOrder, int yOrder,
                           int crossOrder)
    : m_sampleSize(n), m_samples(samples, samples + n),
      m_polynomial(makePolynomial(xOrder, yOrder, crossOrder))
{ }

Regression2D::~Regression2D() = default;

bool Regression2D::FitPolynomial()
{
    const int m = m_polynomial.GetNumTerms();
    if (m_sampleSize < m)
        throw CTextException("Regression2D::FitPolynomial: Sample size is too small");
    std::vector<std::vector<double>> points;
    std::vector<double> values;
    for (const SamplePoint &s : m_samples) {
        points.push_back({s.GetX(), s.GetY()});
        values.push_back(s.GetValue());
    }
    return m_polynomial.FitTo(points, values, m_modelValues, m_residual, "Regression2D");
}

double Regression2D::Evaluate(double x, double y) const
{
    const double xy[2] = {x, y};
    return m_polynomial.Evaluate(xy);
}

double Regression2D::EvaluateDerivative(double x, double y, int variable) const
{
    const double xy[2] = {x, y};
    return m_polynomial.EvaluateDerivative(xy, variable);
}

double Regression2D::EvaluateSecondDerivative(double x, double y, int variable1,
                                              int variable2) const
{
    const double xy[2] = {x, y};
    return m_polynomial.EvaluateSecondDerivative(xy, variable1, variable2);
}

std::vector<double> Regression2D::GetDataValues() const
{
    std::vector<double> values;
    values.reserve(m_samples.size());
    for (const SamplePoint &s : m_samples)
        values.push_back(s.GetValue());
    return values;
}

double Regression2D::GetCorrelationCoefficient() const
{
    const size_t n = m_modelValues.size();
    double meanModel = 0.0;
    double meanData = 0.0;
    for (size_t i = 0; i < n; ++i) {
        meanModel += m_modelValues[i];
        meanData += m_samples[i].GetValue();
    }
    meanModel /= double(n);
    meanData /= double(n);
    double cross = 0.0, ssData = 0.0, ssModel = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double d = m_samples[i].GetValue() - meanData;
        const double m = m_modelValues[i] - meanModel;
        cross += m * d;
        ssData += d * d;
        ssModel += m * m;
    }
    return cross / (std::sqrt(ssData) * std::sqrt(ssModel));
}

std::unique_ptr<Regression2D> Regression2D::Clone() const
{
    return std::make_unique<Regression2D>(*this);
}

void Regression2D::Dump() const
{
    std::printf("Regression2D: %d samples, residual %g\n", m_sampleSize, m_residual);
    for (const SamplePoint &s : m_samples)
        std::printf("%g %g %g\n", s.GetX(), s.GetY(), s.GetValue());
    m_polynomial.Dump();
}
