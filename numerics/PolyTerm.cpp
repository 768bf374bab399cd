#include "numerics/PolyTerm.h"

#include "platform/Exceptions.h"

#include <cmath>
#include <cstdio>

PolyTerm::PolyTerm() = default;

PolyTerm::PolyTerm(int numVariables, const int *exponents, double coefficient)
    : m_exponents(exponents, exponents + numVariables), m_numVariables(numVariables),
      m_coefficient(coefficient)
{
    int nonzero = 0;
    for (const int p : m_exponents) {
        if (p < 0)
            throw CInvalidArgException("PolyTerm: negative exponent");
        if (p != 0)
            ++nonzero;
    }
    m_type = nonzero == 0 ? PolyTermConstant : (nonzero == 1 ? PolyTermSingle : PolyTermCross);
}

int PolyTerm::GetExponent(int variable) const
{
    if (variable < 0 || variable >= m_numVariables)
        throw CInvalidArgException("PolyTerm: variable out of range");
    return m_exponents[size_t(variable)];
}

int PolyTerm::GetOrder() const
{
    int order = 0;
    for (const int p : m_exponents)
        order += p;
    return order;
}

double PolyTerm::evaluateLowered(const double *x, const std::vector<int> &lowered) const
{
    double value = m_coefficient;
    for (int v = 0; v < m_numVariables; ++v) {
        int p = m_exponents[size_t(v)];
        for (int k = 0; k < lowered[size_t(v)]; ++k) {
            if (p == 0)
                return 0.0;
            value *= p;
            --p;
        }
        if (p > 0)
            value *= std::pow(x[v], p);
    }
    return value;
}

double PolyTerm::Evaluate(const double *x) const
{
    return evaluateLowered(x, std::vector<int>(size_t(m_numVariables), 0));
}

double PolyTerm::EvaluateDerivative(const double *x, int variable) const
{
    GetExponent(variable); // validates the index
    std::vector<int> lowered(size_t(m_numVariables), 0);
    lowered[size_t(variable)] = 1;
    return evaluateLowered(x, lowered);
}

double PolyTerm::EvaluateSecondDerivative(const double *x, int variable1, int variable2) const
{
    GetExponent(variable1); // validates the indices
    GetExponent(variable2);
    std::vector<int> lowered(size_t(m_numVariables), 0);
    ++lowered[size_t(variable1)];
    ++lowered[size_t(variable2)];
    return evaluateLowered(x, lowered);
}

void PolyTerm::Dump() const
{
    std::printf("%g", m_coefficient);
    for (int v = 0; v < m_numVariables; ++v) {
        if (m_exponents[size_t(v)] != 0)
            std::printf(" * x%d^%d", v, m_exponents[size_t(v)]);
    }
    std::printf("\n");
}
