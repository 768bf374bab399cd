#pragma once

// A polynomial in one or more variables made of every monomial whose exponent
// of variable v lies in 0..order_v; a monomial mixing several variables is kept
// only when its total order is at most the cross order ("X-Order"). Terms are
// enumerated with the first variable's exponent varying fastest, and all
// coefficients start at 1.

#include "numerics/PolyTerm.h"

#include <vector>

class PolyRhomb
{
public:
    PolyRhomb();
    // The cross order used is the smaller of crossOrder and the smallest
    // nonzero per-variable order. Reports the number of terms on stdout.
    PolyRhomb(int numVariables, const int *orders, int crossOrder);

    int GetNumVariables() const { return m_numVariables; }
    int GetOrder(int variable) const;
    int GetCrossOrder() const { return m_crossOrder; }
    int GetNumTerms() const { return int(m_terms.size()); }
    const PolyTerm &GetTerm(int i) const;
    PolyTerm &GetTerm(int i);

    std::vector<double> GetCoefficients() const;
    void SetCoefficients(const std::vector<double> &coefficients);

    // x holds one value per variable.
    double Evaluate(const double *x) const;

    // Least-squares fit of the coefficients to 'values' observed at 'points'
    // (one vector of variables per sample), reporting its progress on standard
    // output under the caller's name. Fills the model's value at every point
    // and the root mean square of the residuals; false when the normal
    // equations are singular (the coefficients are then unchanged).
    bool FitTo(const std::vector<std::vector<double>> &points, const std::vector<double> &values,
               std::vector<double> &modelValues, double &residualRms, const char *caller);
    double EvaluateDerivative(const double *x, int variable) const;
    double EvaluateSecondDerivative(const double *x, int variable1, int variable2) const;
    void Dump() const;

private:
    int m_numVariables = 0;
    std::vector<int> m_orders;
    int m_crossOrder = 0;
    std::vector<PolyTerm> m_terms;
};
