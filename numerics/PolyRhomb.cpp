#include "numerics/PolyRhomb.h"

#include "platform/Exceptions.h"

#include <algorithm>
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
