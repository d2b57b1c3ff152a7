#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Letter case of part numbers and cross numbers: exactly the letters a
// search number may hold (A-Z, А-Я, Є, І, Ї and their small forms) have two
// cases; every other character compares as it is, so the rule does not
// depend on the Unicode tables of the library at hand. Group codes follow
// UnicodeCaseFolding.
class CaseFolding
{
public:
    static QChar upper(QChar ch);
    static QChar lower(QChar ch);
    static QString upper(QStringView text);

    static bool equal(QStringView a, QStringView b);
    static bool startsWith(QStringView text, QStringView prefix);
};
