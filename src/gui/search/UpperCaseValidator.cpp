#include "UpperCaseValidator.h"

QValidator::State UpperCaseValidator::validate(QString& input, int&) const
{
    for (QChar& ch : input)
        ch = ch.toUpper();
    return Acceptable;
}
