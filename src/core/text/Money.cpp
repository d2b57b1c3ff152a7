#include "Money.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Adds one to a string of decimal digits; an empty string becomes "1".
void increment(std::string& digits)
{
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return;
        }
        *digit = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

double Money::fromSingle(double stored)
{
    const auto single = static_cast<float>(stored);
    // Beyond the range of a single the stored value is all there is.
    if (!std::isfinite(single))
        return stored;
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, single);
    double value = stored;
    std::from_chars(text, written.ptr, value);
    return value;
}

QString Money::format(double value, QChar separator, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);

    // "d.dddddddddddddde±x": the 15 significant digits and the exponent.
    constexpr int kDigits = 15;
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, kDigits - 1);
    std::string digits(1, text[0]);
    digits.append(text + 2, kDigits - 1);
    int exponent = 0;
    std::from_chars(text + kDigits + 2 + (text[kDigits + 2] == '+'), written.ptr, exponent);

    // The digits down to the last decimal, the first one dropped rounding up from 5.
    const int kept = exponent + 1 + decimals;
    std::string keptDigits;
    if (kept >= kDigits) {
        keptDigits = digits + std::string(size_t(kept - kDigits), '0');
    } else if (kept >= 0) {
        keptDigits = digits.substr(0, size_t(kept));
        if (digits[size_t(kept)] >= '5')
            increment(keptDigits);
    }
    const size_t nonZero = keptDigits.find_first_not_of('0');
    keptDigits.erase(0, std::min(nonZero, keptDigits.size()));
    const bool negative = value < 0 && !keptDigits.empty();
    const size_t fractions = size_t(decimals);
    if (keptDigits.size() < fractions + 1)
        keptDigits.insert(0, fractions + 1 - keptDigits.size(), '0');

    QString result = QString::fromLatin1(keptDigits.data(), qsizetype(keptDigits.size() - fractions)) +
                     separator +
                     QLatin1String(keptDigits.data() + keptDigits.size() - fractions, qsizetype(fractions));
    return negative ? QLatin1Char('-') + result : result;
}

double Money::rounded(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const std::string text = format(value, QLatin1Char('.'), decimals).toStdString();
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}
