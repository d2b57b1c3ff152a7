#pragma once

#include <QChar>
#include <QDate>
#include <QString>
#include <QVariant>

// The formats of the system's regional settings, taken once at start so that
// later changes of the settings do not change what the clerk sees mid-run.
class RegionalFormats
{
public:
    static void freeze();

    static QChar decimalSeparator();
    // Amounts and rates: "0.00" with the system's decimal separator, rounded
    // as Money::format rounds.
    static QString formatMoney(double value);
    // A null value shows as an empty text.
    static QString formatMoney(const QVariant& value);
    // Dates without a time of day: "dd.MM.yyyy".
    static QString formatDate(const QDate& date);
    static QString shortDateFormat();
};
