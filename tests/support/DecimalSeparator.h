#pragma once

#include <QString>
#include <QtGlobal>

#include <clocale>

// Tests that show or read numbers run twice (tests/CMakeLists.txt): under
// C.UTF-8, and under ru_RU.UTF-8 with TARDESK_TEST_DECIMAL set to ",".
inline QChar expectedDecimalSeparator()
{
    return qEnvironmentVariable("TARDESK_TEST_DECIMAL", QStringLiteral(".")).front();
}

// An amount written with "." as the program shows it in this run.
inline QString regional(QString amount)
{
    return amount.replace(QLatin1Char('.'), expectedDecimalSeparator());
}

// The C library's decimal point in this run, so a test can prove that it
// really ran under the comma locale (a locale not installed leaves ".").
inline QChar cLibraryDecimalPoint()
{
    return QLatin1Char(std::localeconv()->decimal_point[0]);
}
