#include "util/StringUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QString fmt(double value, int grouping, short decimals)
{
    return StringUtil::FloatFormatString(value, grouping, decimals);
}

TEST(FloatFormatString, GroupingAndDecimals)
{
    EXPECT_EQ(fmt(1234.5, 1, 2), "1,234.50");
    EXPECT_EQ(fmt(1234.5, 0, 2), "1234.50");
    EXPECT_EQ(fmt(123.0, 1, 0), "123");
    EXPECT_EQ(fmt(123456.0, 1, 1), "123,456.0");
    EXPECT_EQ(fmt(1234567.25, 1, 3), "1,234,567.250");
    EXPECT_EQ(fmt(0.5, 1, 1), "0.5"); // leading zero kept
    EXPECT_EQ(fmt(1.5, 0, 8), "1.50000000");
    // A negative number of decimals counts as none.
    EXPECT_EQ(fmt(7.25, 0, -3), "7");
}

TEST(FloatFormatString, RoundsThePrintedDigitsHalfAwayFromZero)
{
    EXPECT_EQ(fmt(0.125, 1, 2), "0.13");
    // 2.675 is stored as 2.67499999..., but "%f" prints 2.675000, which rounds up.
    EXPECT_EQ(fmt(2.675, 0, 2), "2.68");
    EXPECT_EQ(fmt(-2.675, 0, 2), "(2.68)");
    EXPECT_EQ(fmt(0.124999, 0, 2), "0.12");
    EXPECT_EQ(fmt(2.5, 0, 0), "3");
    EXPECT_EQ(fmt(-2.5, 0, 0), "(3)");
    // Carries run through the point and add a digit and a group.
    EXPECT_EQ(fmt(999.995, 1, 2), "1,000.00");
    EXPECT_EQ(fmt(99999.5, 1, 0), "100,000");
    // Digits beyond the sixth decimal are already gone in the printed text.
    EXPECT_EQ(fmt(0.1234564, 0, 6), "0.123456");
    EXPECT_EQ(fmt(0.1234566, 0, 7), "0.1234570");
}

TEST(FloatFormatString, NegativesInParentheses)
{
    EXPECT_EQ(fmt(-0.5, 0, 1), "(0.5)");
    EXPECT_EQ(fmt(-1234567.5, 1, 0), "(1,234,568)");
    EXPECT_EQ(fmt(-1234.5, 0, 2), "(1234.50)");
    // What rounds to zero is plain zero.
    EXPECT_EQ(fmt(-0.001, 1, 2), "0.00");
    EXPECT_EQ(fmt(-0.0, 1, 2), "0.00");
    EXPECT_EQ(fmt(0.0, 1, 0), "0");
}

TEST(FloatFormatString, LargeAndSpecialValues)
{
    EXPECT_EQ(fmt(1e20, 1, 2), "100,000,000,000,000,000,000.00");
    EXPECT_EQ(fmt(123456789012.0, 0, 0), "123456789012");
    const QString huge = fmt(1e300, 1, 0);
    EXPECT_EQ(huge.size(), 301 + 100);
    EXPECT_TRUE(huge.startsWith("1,000,000,000,000,000,052,504,760,255"));
    EXPECT_EQ(fmt(std::numeric_limits<double>::infinity(), 1, 2), "inf");
    EXPECT_EQ(fmt(-std::numeric_limits<double>::infinity(), 1, 2), "-inf");
    EXPECT_EQ(fmt(std::numeric_limits<double>::quiet_NaN(), 1, 2), "nan");
}

TEST(FromString, ReadsDigitsAndPointsOnly)
{
    double x = -1.0;
    EXPECT_EQ(StringUtil::FromString("1,234.5", 1, x), 1);
    EXPECT_EQ(x, 1234.5);

    x = -1.0;
    EXPECT_EQ(StringUtil::FromString("1,234.5", 0, x), 0);
    EXPECT_EQ(x, -1.0);
    for (const char *bad : {"-3", " 3", "3 ", "1e5", "+2", "0x10", "abc", "1,5"}) {
        EXPECT_EQ(StringUtil::FromString(bad, 0, x), 0) << bad;
        EXPECT_EQ(x, -1.0) << bad;
    }
    EXPECT_EQ(StringUtil::FromString("-3", 1, x), 0);
    EXPECT_EQ(StringUtil::FromString(QStringLiteral("\u0663"), 1, x), 0); // Arabic-Indic three

    EXPECT_EQ(StringUtil::FromString("0.25", 0, x), 1);
    EXPECT_EQ(x, 0.25);
    EXPECT_EQ(StringUtil::FromString(".5", 0, x), 1);
    EXPECT_EQ(x, 0.5);
}

TEST(FromString, ReadsTheLongestPrefixLikeTheCConversion)
{
    double x = -1.0;
    EXPECT_EQ(StringUtil::FromString("", 1, x), 1);
    EXPECT_EQ(x, 0.0);
    x = -1.0;
    EXPECT_EQ(StringUtil::FromString(".", 0, x), 1);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(StringUtil::FromString("1.2.3", 0, x), 1);
    EXPECT_EQ(x, 1.2);
    EXPECT_EQ(StringUtil::FromString(",,,7", 1, x), 1);
    EXPECT_EQ(x, 7.0);

    EXPECT_EQ(StringUtil::FromString(QString(400, '9'), 0, x), 1);
    EXPECT_TRUE(std::isinf(x));
    EXPECT_EQ(StringUtil::FromString("0." + QString(400, '0') + "1", 0, x), 1);
    EXPECT_EQ(x, 0.0);
}

TEST(ValidateUsableNumber, OnlyDigitsAndPoints)
{
    EXPECT_EQ(StringUtil::ValidateUsableNumber("0123456789."), 1);
    EXPECT_EQ(StringUtil::ValidateUsableNumber(""), 1);
    EXPECT_EQ(StringUtil::ValidateUsableNumber("1,2"), 0);
    EXPECT_EQ(StringUtil::ValidateUsableNumber("-1"), 0);
    EXPECT_EQ(StringUtil::ValidateUsableNumber("1 "), 0);
}

} // namespace
