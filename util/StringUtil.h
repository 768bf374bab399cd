#pragma once

// Display text for numbers in the report and graph windows, and reading user
// text back as numbers. Independent of the user's locale: "." is always the
// decimal point and "," the group separator.

#include <QString>

class StringUtil
{
public:
    StringUtil() = delete;

    // value printed with six decimals, then rounded (on those printed digits,
    // half away from zero) to 'decimals' places; groups of three digits joined
    // by "," when grouping is nonzero; negative values in parentheses, e.g.
    // (1234.5, 1, 2) -> "1,234.50" and (-0.5, 0, 1) -> "(0.5)". A negative
    // number of decimals counts as 0. Infinities and NaN give "inf", "-inf", "nan".
    static QString FloatFormatString(double value, int grouping, short decimals);

    // Reads text made only of digits and "." (commas removed first when
    // removeCommas is 1) into out and returns 1; any other text returns 0 and
    // leaves out unchanged. Like the C conversion, the longest readable prefix
    // counts ("1.2.3" reads 1.2) and text without digits reads 0.
    static int FromString(const QString &text, int removeCommas, double &out);

    // 1 when every character is one of "0123456789.", else 0.
    static int ValidateUsableNumber(const QString &text);
};
