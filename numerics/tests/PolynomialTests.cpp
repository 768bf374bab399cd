#include "numerics/CPolynomial.h"
#include "numerics/MathTVR.h"
#include "numerics/PolyRhomb.h"
#include "numerics/PolyTerm.h"
#include "platform/CArchive.h"
#include "platform/Exceptions.h"

#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

CPolynomial poly(std::vector<double> c)
{
    return CPolynomial(int(c.size()) - 1, c.data());
}

TEST(CPolynomial, EvaluateAndDerivatives)
{
    const CPolynomial p = poly({1, -3, 0, 2}); // 1 - 3x + 2x^3
    EXPECT_EQ(p.GetDegree(), 3);
    EXPECT_DOUBLE_EQ(p.Evaluate(0), 1.0);
    EXPECT_DOUBLE_EQ(p.Evaluate(2), 11.0);
    EXPECT_DOUBLE_EQ(p.Evaluate(-1), 2.0);
    EXPECT_DOUBLE_EQ(p.EvaluateDerivative(2), 21.0);

    const std::unique_ptr<CPolynomial> d = p.GetDerivative();
    EXPECT_EQ(d->GetDegree(), 2);
    EXPECT_EQ(d->GetCoefficients(), (std::vector<double> {-3, 0, 6}));
    const std::unique_ptr<CPolynomial> dd = d->GetDerivative()->GetDerivative()->GetDerivative();
    EXPECT_EQ(dd->GetDegree(), 0);
    EXPECT_EQ(dd->GetCoefficients(), (std::vector<double> {0}));

    const double c[] = {4, 5};
    const CPolynomial negative(-2, c);
    EXPECT_EQ(negative.GetDegree(), 0);
    EXPECT_DOUBLE_EQ(negative.Evaluate(3), 4.0);
    EXPECT_THROW(negative.GetCoefficient(1), CInvalidArgException);
}

TEST(CPolynomial, SolveByNewton)
{
    const CPolynomial p = poly({-4, 0, 1}); // x^2 - 4
    double x = 0;
    ASSERT_TRUE(p.NewtonSolve(0, 1e-12, 0, 3, x));
    EXPECT_NEAR(x, 2.0, 1e-12);
    x = 0;
    ASSERT_TRUE(p.Solve(5, 1e-12, 0, 10, x)); // x^2 - 4 = 5
    EXPECT_NEAR(x, 3.0, 1e-12);
    // A zero slope at the start ends Newton at once.
    EXPECT_FALSE(p.NewtonSolve(0, 1e-12, -3, 3, x));
}

TEST(CPolynomial, BisectionFallbackWhenNewtonCycles)
{
    // Newton from 0 on x^3 - 2x + 2 alternates between 0 and 1 forever.
    const CPolynomial p = poly({2, -2, 0, 1});
    double x = 0;
    EXPECT_FALSE(p.NewtonSolve(0, 1e-10, -2, 2, x));
    ASSERT_TRUE(p.Solve(0, 1e-10, -2, 2, x));
    EXPECT_NEAR(p.Evaluate(x), 0.0, 1e-8);
    EXPECT_NEAR(x, -1.7692923542386314, 1e-9);

    double b = 0;
    ASSERT_TRUE(p.BisectionSolve(0, 1e-10, -2, 2, b));
    EXPECT_EQ(b, x);
}

TEST(CPolynomial, BisectionEndsAndSignRules)
{
    const CPolynomial p = poly({-4, 0, 1}); // x^2 - 4
    double x = 0;
    ASSERT_TRUE(p.BisectionSolve(0, 1e-9, 2, 7, x));
    EXPECT_EQ(x, 2.0) << "an end point that already solves is returned as is";
    ASSERT_TRUE(p.BisectionSolve(0, 1e-9, -7, -2, x));
    EXPECT_EQ(x, -2.0);
    EXPECT_FALSE(p.BisectionSolve(0, 1e-9, -3, 3, x)) << "no sign change over the interval";
    // The midpoint hits the root exactly: stop there.
    ASSERT_TRUE(p.BisectionSolve(0, 1e-9, 0, 4, x));
    EXPECT_EQ(x, 2.0);
    // A zero tolerance still ends, at the limit of double resolution.
    ASSERT_TRUE(p.BisectionSolve(0, 0.0, 1, 5.5, x));
    EXPECT_NEAR(x, 2.0, 1e-15);
    // Neither method can succeed: zero slope at the midpoint, no sign change.
    EXPECT_FALSE(p.Solve(0, 1e-9, -3, 3, x));
}

TEST(CPolynomial, SolveIgnoresNewtonRootsOutsideTheInterval)
{
    // x^3 - 3x from 1.2 converges to sqrt(3), outside [0.9, 1.5] where there is no root.
    const CPolynomial p = poly({0, -3, 0, 1});
    double x = 0;
    ASSERT_TRUE(p.NewtonSolve(0, 1e-12, 0.9, 1.5, x));
    EXPECT_NEAR(x, std::sqrt(3.0), 1e-12);
    EXPECT_FALSE(p.Solve(0, 1e-12, 0.9, 1.5, x));
}

TEST(CPolynomial, ArchiveRoundTripAndTruncation)
{
    const CPolynomial p = poly({1.5, -2, 0.25});
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CArchive ar(&buffer, CArchive::store);
        ar.WriteObject(&p);
        ar.Close();
    }
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        CArchive ar(&buffer, CArchive::load);
        std::unique_ptr<CPolynomial> q(ar.ReadObjectAs<CPolynomial>());
        ASSERT_TRUE(q);
        EXPECT_EQ(q->GetDegree(), 2);
        EXPECT_EQ(q->GetCoefficients(), p.GetCoefficients());
    }
    QByteArray truncated = bytes.left(bytes.size() - 4);
    QBuffer buffer(&truncated);
    buffer.open(QIODevice::ReadOnly);
    CArchive ar(&buffer, CArchive::load);
    EXPECT_THROW(delete ar.ReadObjectAs<CPolynomial>(), CArchiveException);
}

TEST(PolyRhomb, EnumeratesTermsFirstVariableFastest)
{
    const int orders[] = {2, 3};
    testing::internal::CaptureStdout();
    const PolyRhomb p(2, orders, 2);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "_num_terms = 7\n");
    // Mixed terms above total order 2 ((2,1), (1,2), ...) are dropped.
    const std::vector<std::vector<int>> expected
        = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}, {0, 3}};
    ASSERT_EQ(p.GetNumTerms(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(p.GetTerm(i).GetExponents(), expected[size_t(i)]) << i;
        EXPECT_EQ(p.GetTerm(i).GetCoefficient(), 1.0);
    }
    EXPECT_EQ(p.GetTerm(0).GetType(), PolyTermConstant);
    EXPECT_EQ(p.GetTerm(2).GetType(), PolyTermSingle);
    EXPECT_EQ(p.GetTerm(4).GetType(), PolyTermCross);
}

TEST(PolyRhomb, CrossOrderCappedBySmallestNonzeroOrder)
{
    // Cross order 5 is cut to 1 (the y order), which leaves no mixed term.
    const int orders[] = {3, 1};
    testing::internal::CaptureStdout();
    const PolyRhomb p(2, orders, 5);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(p.GetCrossOrder(), 1);
    EXPECT_EQ(p.GetNumTerms(), 5);
    for (int i = 0; i < p.GetNumTerms(); ++i)
        EXPECT_NE(p.GetTerm(i).GetType(), PolyTermCross);
}

TEST(PolyRhomb, EvaluatesWithCoefficients)
{
    const int orders[] = {2, 2};
    testing::internal::CaptureStdout();
    PolyRhomb p(2, orders, 2);
    testing::internal::GetCapturedStdout();
    // Terms: 1, x, x^2, y, xy, y^2 (x^2 y and others exceed the cross order).
    ASSERT_EQ(p.GetNumTerms(), 6);
    p.SetCoefficients({1, 2, 3, 4, 5, 6});
    const double xy[] = {2, 3};
    EXPECT_DOUBLE_EQ(p.Evaluate(xy), 1 + 4 + 12 + 12 + 30 + 54);
    EXPECT_DOUBLE_EQ(p.EvaluateDerivative(xy, 0), 2 + 12 + 15);
    EXPECT_DOUBLE_EQ(p.EvaluateDerivative(xy, 1), 4 + 10 + 36);
    EXPECT_DOUBLE_EQ(p.EvaluateSecondDerivative(xy, 0, 0), 6);
    EXPECT_DOUBLE_EQ(p.EvaluateSecondDerivative(xy, 0, 1), 5);
    EXPECT_DOUBLE_EQ(p.EvaluateSecondDerivative(xy, 1, 1), 12);
    EXPECT_THROW(p.SetCoefficients({1}), CInvalidArgException);
    EXPECT_THROW(p.EvaluateDerivative(xy, 2), CInvalidArgException);
}

} // namespace
