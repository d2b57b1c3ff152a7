#pragma once

#include <QChar>
#include <QString>

#include <optional>

// A floating-point value as the clerk types it: optional sign, digits with
// the given decimal separator, optional exponent. No thousands separators.
class FloatText
{
public:
    // The characters a rate field lets the clerk type.
    static bool isAcceptedChar(QChar character, QChar separator);
    // The value of a complete text; nothing when it is no finite number.
    static std::optional<double> parse(const QString& text, QChar separator);
};
