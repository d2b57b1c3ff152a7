#include "RegionalFormats.h"

#include "core/text/Money.h"

#include <QLocale>

namespace {
QChar g_decimalSeparator = QLatin1Char('.');
bool g_frozen = false;
} // namespace

void RegionalFormats::freeze()
{
    const QString separator = QLocale::system().decimalPoint();
    g_decimalSeparator = separator.isEmpty() ? QLatin1Char('.') : separator.front();
    g_frozen = true;
}

QChar RegionalFormats::decimalSeparator()
{
    if (!g_frozen)
        freeze();
    return g_decimalSeparator;
}

QString RegionalFormats::formatMoney(double value)
{
    return Money::format(value, decimalSeparator());
}

QString RegionalFormats::formatMoney(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return QString();
    return formatMoney(value.toDouble());
}

QString RegionalFormats::formatDate(const QDate& date)
{
    return date.isValid() ? date.toString(shortDateFormat()) : QString();
}

QString RegionalFormats::shortDateFormat()
{
    return QStringLiteral("dd.MM.yyyy");
}
