#pragma once

// Least-squares fit of a polynomial in two variables (orders in x and y and a
// cross order) to n samples (x, y, value).

#include "numerics/PolyRhomb.h"
#include "numerics/SamplePoint.h"

#include <memory>
#include <vector>

class Regression2D
{
public:
    // Copies the n samples.
    Regression2D(int n, const SamplePoint *samples, int xOrder, int yOrder, int crossOrder);
    Regression2D(const Regression2D &other) = default;
    Regression2D &operator=(const Regression2D &other) = default;
    virtual ~Regression2D();

    // As Regression1D::FitPolynomial, with the text "Regression2D::FitPolynomial:
    // Sample size is too small".
    bool FitPolynomial();

    double Evaluate(double x, double y) const;
    // variable 0 is x, 1 is y.
    double EvaluateDerivative(double x, double y, int variable) const;
    double EvaluateSecondDerivative(double x, double y, int variable1, int variable2) const;

    double GetCorrelationCoefficient() const;
    double GetResidualRSM() const { return m_residual; }

    const PolyRhomb &GetPolynomial() const { return m_polynomial; }
    int GetSampleSize() const { return m_sampleSize; }
    const std::vector<SamplePoint> &GetSamples() const { return m_samples; }
    std::vector<double> GetDataValues() const;
    std::vector<double> GetModelCoefficients() const { return m_polynomial.GetCoefficients(); }
    const std::vector<double> &GetModelValues() const { return m_modelValues; }

    std::unique_ptr<Regression2D> Clone() const;
    void Dump() const;

private:
    int m_sampleSize = 0;
    std::vector<SamplePoint> m_samples;
    PolyRhomb m_polynomial;
    std::vector<double> m_modelValues;
    double m_residual = -1.0;
};
