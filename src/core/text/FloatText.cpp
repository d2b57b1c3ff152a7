#include "FloatText.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {
bool isAsciiDigit(QChar character)
{
    return character >= QLatin1Char('0') && character <= QLatin1Char('9');
}
} // namespace

bool FloatText::isAcceptedChar(QChar character, QChar separator)
{
    return isAsciiDigit(character) || character == separator || character == QLatin1Char('+') ||
           character == QLatin1Char('-') || character == QLatin1Char('e') || character == QLatin1Char('E');
}

std::optional<double> FloatText::parse(const QString& text, QChar separator)
{
    const QString point = QRegularExpression::escape(QString(separator));
    const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+(%1[0-9]*)?|%1[0-9]+)([eE][+-]?[0-9]+)?$").arg(point));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    QString plain = text;
    plain.replace(separator, QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    // An exponent beyond the range of a double is no value a rate can hold.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
