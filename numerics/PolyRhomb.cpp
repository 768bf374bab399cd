#include "numerics/PolyRhomb.h"

#include "numerics/Matrix.h"
#include "numerics/Vector.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

PolyRhomb::PolyRhomb() = default;

PolyRhomb::PolyRhomb(int numVariables, const int *orders, int crossOrder)
    : m_numVariables(numVariables), m_orders(orders, orders + numVariables)
{
    if (numVariables < 1)
        throw CInvalidArgException("PolyRhomb: no variables");
    for (const int order : m_orders) {
        if (order < 0)
            throw CInvalidArgException("PolyRhomb: negative order");
    }

    m_crossOrder = crossOrder;
    for (const int order : m_orders) {
        if (order > 0)
            m_crossOrder = std::min(m_crossOrder, order);
    }

    // Odometer over the exponent box, first variable fastest.
    std::vector<int> p(size_t(numVariables), 0);
    for (;;) {
        int nonzero = 0;
        int total = 0;
        for (const int e : p) {
            nonzero += e != 0 ? 1 : 0;
            total += e;
        }
        if (nonzero <= 1 || total <= m_crossOrder)
            m_terms.emplace_back(numVariables, p.data(), 1.0);

        int v = 0;
        while (v < numVariables && p[size_t(v)] == m_orders[size_t(v)]) {
            p[size_t(v)] = 0;
            ++v;
        }
        if (v == numVariables)
            break;
        ++p[size_t(v)];
    }

    std::printf("_num_terms = %d\n", GetNumTerms());
    std::fflush(stdout);
}

int PolyRhomb::GetOrder(int variable) const
{
    if (variable < 0 || variable >= m_numVariables)
        throw CInvalidArgException("PolyRhomb: variable out of range");
    return m_orders[size_t(variable)];
}

const PolyTerm &PolyRhomb::GetTerm(int i) const
{
    if (i < 0 || i >= GetNumTerms())
        throw CInvalidArgException("PolyRhomb: term out of range");
    return m_terms[size_t(i)];
}

PolyTerm &PolyRhomb::GetTerm(int i)
{
    if (i < 0 || i >= GetNumTerms())
        throw CInvalidArgException("PolyRhomb: term out of range");
    return m_terms[size_t(i)];
}

std::vector<double> PolyRhomb::GetCoefficients() const
{
    std::vector<double> c;
    c.reserve(m_terms.size());
    for (const PolyTerm &t : m_terms)
        c.push_back(t.GetCoefficient());
    return c;
}

void PolyRhomb::SetCoefficients(const std::vector<double> &coefficients)
{
    if (coefficients.size() != m_terms.size())
        throw CInvalidArgException("PolyRhomb: wrong number of coefficients");
    for (size_t i = 0; i < m_terms.size(); ++i)
        m_terms[i].SetCoefficient(coefficients[i]);
}

double PolyRhomb::Evaluate(const double *x) const
{
    double sum = 0.0;
    for (const PolyTerm &t : m_terms)
        sum += t.Evaluate(x);
    return sum;
}

double PolyRhomb::EvaluateDerivative(const double *x, int variable) const
{
    double sum = 0.0;
    for (const PolyTerm &t : m_terms)
        sum += t.EvaluateDerivative(x, variable);
    return sum;
}

double PolyRhomb::EvaluateSecondDerivative(const double *x, int variable1, int variable2) const
{
    double sum = 0.0;
    for (const PolyTerm &t : m_terms)
        sum += t.EvaluateSecondDerivative(x, variable1, variable2);
    return sum;
}

void PolyRhomb::Dump() const
{
    std::printf("PolyRhomb: %d variables, %d terms, cross order %d\n", m_numVariables,
                GetNumTerms(), m_crossOrder);
    for (const PolyTerm &t : m_terms)
        t.Dump();
    std::fflush(stdout);
}

bool PolyRhomb::FitTo(const std::vector<std::vector<double>> &points,
                      const std::vector<double> &values, std::vector<double> &modelValues,
                      double &residualRms, const char *caller)
{
    const int n = int(points.size());
    const int m = GetNumTerms();
    std::printf("Polynomial fitting\n");

    Matrix design(n, m);
    Vector data(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < m; ++j) {
            PolyTerm term = GetTerm(j);
            term.SetCoefficient(1.0);
            design.FastSetAt(i, j, term.Evaluate(points[size_t(i)].data()));
        }
        data.FastSetAt(i, values[size_t(i)]);
    }
    Vector c;
    try {
        c = design.LeastSquares(data);
    } catch (const CTextException &e) {
        std::printf("%s\n", e.what());
        std::fflush(stdout);
        return false;
    }

    std::vector<double> coefficients(c.GetData(), c.GetData() + m);
    SetCoefficients(coefficients);
    for (int j = 0; j < m; ++j)
        std::printf("c[%d] = %g\n", j, coefficients[size_t(j)]);

    modelValues.assign(size_t(n), 0.0);
    double sumSquares = 0.0;
    for (int i = 0; i < n; ++i) {
        modelValues[size_t(i)] = Evaluate(points[size_t(i)].data());
        const double residual = values[size_t(i)] - modelValues[size_t(i)];
        std::printf("residual[%d] = %g\n", i, residual);
        sumSquares += residual * residual;
    }
    residualRms = n > 0 ? std::sqrt(sumSquares / n) : 0.0;
    std::printf("End of %s::FitPolynomial()\n", caller);
    std::fflush(stdout);
    return true;
}
