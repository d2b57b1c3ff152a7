#include "RateValidator.h"

#include "core/text/FloatText.h"
#include "core/text/RegionalFormats.h"

RateValidator::RateValidator(QObject* parent) : QValidator(parent)
{}

QValidator::State RateValidator::validate(QString& input, int&) const
{
    const QChar separator = RegionalFormats::decimalSeparator();
    for (const QChar character : input)
        if (!FloatText::isAcceptedChar(character, separator))
            return Invalid;
    return Acceptable;
}
