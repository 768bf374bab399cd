#pragma once

// One monomial of a polynomial in several variables:
// coefficient * x_0^p_0 * x_1^p_1 * ...

#include <vector>

enum PolyTermTYPE {
    PolyTermConstant, // every exponent 0
    PolyTermSingle, // one variable only
    PolyTermCross // more than one variable
};

class PolyTerm
{
public:
    PolyTerm();
    PolyTerm(int numVariables, const int *exponents, double coefficient = 1.0);

    int GetNumVariables() const { return m_numVariables; }
    int GetExponent(int variable) const;
    const std::vector<int> &GetExponents() const { return m_exponents; }
    int GetOrder() const; // sum of the exponents
    double GetCoefficient() const { return m_coefficient; }
    void SetCoefficient(double coefficient) { m_coefficient = coefficient; }
    PolyTermTYPE GetType() const { return m_type; }

    // x holds one value per variable.
    double Evaluate(const double *x) const;
    double EvaluateDerivative(const double *x, int variable) const;
    double EvaluateSecondDerivative(const double *x, int variable1, int variable2) const;
    void Dump() const;

private:
    // coefficient * prod x_v^(p_v - lowered_v), times the falling factorials
    // that differentiation brings down.
    double evaluateLowered(const double *x, const std::vector<int> &lowered) const;

    std::vector<int> m_exponents;
    int m_numVariables = 0;
    double m_coefficient = 1.0;
    PolyTermTYPE m_type = PolyTermConstant;
};
