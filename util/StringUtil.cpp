#include "util/StringUtil.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace {

bool isUsableChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'.';
}

// Adds one unit in the last place of a string of decimal digits; returns true
// when the carry runs out of the front (e.g. "99" -> "00").
bool incrementDigits(std::string &digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

} // namespace

QString StringUtil::FloatFormatString(double value, int grouping, short decimals)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    // The six-decimal text, as "%f" would print it (to_chars is exact like
    // printf and does not depend on the C locale's decimal point).
    char buffer[400];
    const auto printed
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, printed.ptr);

    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.erase(0, 1);
    const size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);

    // Round the printed digits, not the binary value: "2.675000" -> "2.68".
    const size_t places = decimals > 0 ? size_t(decimals) : 0;
    if (fraction.size() > places) {
        const bool roundUp = fraction[places] >= '5';
        fraction.resize(places);
        if (roundUp && incrementDigits(fraction) && incrementDigits(whole))
            whole.insert(whole.begin(), '1');
    } else {
        fraction.append(places - fraction.size(), '0');
    }

    // A value that rounds to zero is shown without parentheses: "(0.00)" would
    // suggest a loss where there is none.
    const bool isZero = whole.find_first_not_of('0') == std::string::npos
        && fraction.find_first_not_of('0') == std::string::npos;

    std::string result;
    if (grouping != 0) {
        for (size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0)
                result += ',';
            result += whole[i];
        }
    } else {
        result = whole;
    }
    if (places > 0)
        result += '.' + fraction;
    if (negative && !isZero)
        result = '(' + result + ')';
    return QString::fromLatin1(result.data(), qsizetype(result.size()));
}

int StringUtil::FromString(const QString &text, int removeCommas, double &out)
{
    QString cleaned = text;
    if (removeCommas == 1)
        cleaned.remove(QLatin1Char(','));
    if (!ValidateUsableNumber(cleaned))
        return 0;

    const QByteArray latin = cleaned.toLatin1();
    const char *begin = latin.constData();
    const char *end = begin + latin.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Too many digits for a double: overflow when any digit before the
        // point is nonzero, else an underflow towards zero.
        const qsizetype point = latin.indexOf('.');
        const QByteArray whole = point < 0 ? latin : latin.left(point);
        bool large = false;
        for (const char c : whole)
            large = large || c != '0';
        value = large ? HUGE_VAL : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0; // no digits at all, as in "" or "."
    }
    out = value;
    return 1;
}

int StringUtil::ValidateUsableNumber(const QString &text)
{
    for (const QChar c : text) {
        if (!isUsableChar(c))
            return 0;
    }
    return 1;
}
