#pragma once

#include <QString>
#include <QStringView>

// Whether a character is kept in a search number: a digit, a Latin letter,
// a letter of the basic Russian alphabet (without Ё/ё) or Є, І, Ї.
bool isPartNumberCharacter(QChar ch);

// The typed or printed part number reduced to its letters and digits, in
// their order and case.
QString NormalizePartNumber(QStringView text);
