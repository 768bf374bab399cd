#pragma once

// A polynomial in one variable: degree d and coefficients c0..cd.

#include "platform/CObject.h"

#include <memory>
#include <vector>

class CPolynomial : public CObject
{
    DECLARE_SERIAL(CPolynomial)
public:
    CPolynomial();
    // A negative degree is taken as 0; null coefficients give the zero polynomial.
    CPolynomial(int degree, const double *coefficients);
    CPolynomial(const CPolynomial &other) = default;
    CPolynomial &operator=(const CPolynomial &other) = default;
    ~CPolynomial() override;

    int GetDegree() const { return m_degree; }
    double GetCoefficient(int k) const;
    void SetCoefficient(int k, double value);
    const std::vector<double> &GetCoefficients() const { return m_coefficients; }

    double Evaluate(double x) const;
    double EvaluateDerivative(double x) const;
    // Degree d - 1 with coefficients k * c_k; a constant gives the zero constant.
    std::unique_ptr<CPolynomial> GetDerivative() const;

    // x in [low, high] with p(x) = y, see MathTVR::Solve.
    bool Solve(double y, double tolerance, double low, double high, double &x) const;
    bool NewtonSolve(double y, double tolerance, double low, double high, double &x) const;
    bool BisectionSolve(double y, double tolerance, double low, double high, double &x) const;

    std::unique_ptr<CPolynomial> Clone() const;
    // Stored as int32 degree followed by the degree + 1 coefficients.
    void Serialize(CArchive &ar) override;

private:
    int m_degree = 0;
    std::vector<double> m_coefficients;
};
