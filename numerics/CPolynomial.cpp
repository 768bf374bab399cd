#include "numerics/CPolynomial.h"

#include "numerics/MathTVR.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <cmath>

IMPLEMENT_SERIAL(CPolynomial, CObject, VERSIONABLE_SCHEMA | 0)

CPolynomial::CPolynomial() : m_coefficients(1, 0.0) { }

CPolynomial::CPolynomial(int degree, const double *coefficients)
    : m_degree(degree < 0 ? 0 : degree), m_coefficients(size_t(m_degree) + 1, 0.0)
{
    if (coefficients) {
        for (int k = 0; k <= m_degree; ++k)
            m_coefficients[size_t(k)] = coefficients[k];
    }
}

CPolynomial::~CPolynomial() = default;

double CPolynomial::GetCoefficient(int k) const
{
    if (k < 0 || k > m_degree)
        throw CInvalidArgException("CPolynomial: coefficient index out of range");
    return m_coefficients[size_t(k)];
}

void CPolynomial::SetCoefficient(int k, double value)
{
    if (k < 0 || k > m_degree)
        throw CInvalidArgException("CPolynomial: coefficient index out of range");
    m_coefficients[size_t(k)] = value;
}

double CPolynomial::Evaluate(double x) const
{
    double sum = m_coefficients[0];
    if (x == 0.0)
        return sum;
    for (int k = 1; k <= m_degree; ++k)
        sum += m_coefficients[size_t(k)] * std::pow(x, k);
    return sum;
}

double CPolynomial::EvaluateDerivative(double x) const
{
    double sum = 0.0;
    for (int k = 1; k <= m_degree; ++k)
        sum += k * m_coefficients[size_t(k)] * std::pow(x, k - 1);
    return sum;
}

std::unique_ptr<CPolynomial> CPolynomial::GetDerivative() const
{
    if (m_degree == 0)
        return std::make_unique<CPolynomial>();
    std::vector<double> c(static_cast<size_t>(m_degree));
    for (int k = 1; k <= m_degree; ++k)
        c[size_t(k - 1)] = k * m_coefficients[size_t(k)];
    return std::make_unique<CPolynomial>(m_degree - 1, c.data());
}

bool CPolynomial::Solve(double y, double tolerance, double low, double high, double &x) const
{
    return MathTVR::Solve([this](double v) { return Evaluate(v); },
                          [this](double v) { return EvaluateDerivative(v); }, y, tolerance, low,
                          high, x);
}

bool CPolynomial::NewtonSolve(double y, double tolerance, double low, double high, double &x) const
{
    return MathTVR::NewtonSolve([this](double v) { return Evaluate(v); },
                                [this](double v) { return EvaluateDerivative(v); }, y, tolerance,
                                low, high, x);
}

bool CPolynomial::BisectionSolve(double y, double tolerance, double low, double high,
                                 double &x) const
{
    return MathTVR::BisectionSolve([this](double v) { return Evaluate(v); }, y, tolerance, low,
                                   high, x);
}

std::unique_ptr<CPolynomial> CPolynomial::Clone() const
{
    return std::make_unique<CPolynomial>(*this);
}

void CPolynomial::Serialize(CArchive &ar)
{
    if (ar.IsStoring()) {
        ar << int32_t(m_degree);
        for (const double c : m_coefficients)
            ar << c;
    } else {
        int32_t degree = 0;
        ar >> degree;
        if (degree < 0)
            throw CArchiveException(CArchiveException::genericException);
        ar.EnsureAvailable((qint64(degree) + 1) * qint64(sizeof(double)));
        std::vector<double> c(size_t(degree) + 1);
        for (double &v : c)
            ar >> v;
        m_degree = degree;
        m_coefficients = std::move(c);
    }
}
