#include "OrderMail.h"

#include "core/errors/Error.h"
#include "core/order/OrderSheet.h"
#include "core/text/RegionalFormats.h"

#include <QCoreApplication>

QString OrderMail::subject(const QString& clientName, const QDate& date)
{
    return QStringLiteral("Заказ %1 от %2")
        .arg(clientName, date.toString(RegionalFormats::shortDateFormat()));
}

QString OrderMail::body(const OrderSheet& sheet, QChar decimalSeparator)
{
    const auto text = [&](int row, int column) { return sheet.text(row, column, decimalSeparator); };
    QString body;
    const int total = sheet.rowCount() - 1;
    for (int row = 0; row < total; ++row) {
        body += QStringLiteral("%1. %2 (%3) %4: %5 x %6")
                    .arg(row + 1)
                    .arg(text(row, OrderSheet::PartNumber), text(row, OrderSheet::GroupCode),
                         text(row, OrderSheet::PartName), text(row, OrderSheet::Quantity),
                         text(row, OrderSheet::Price));
        const QString sum = text(row, OrderSheet::Sum);
        if (!sum.isEmpty())
            body += QStringLiteral(" = ") + sum;
        body += QLatin1Char('\n');
    }
    body +=
        QStringLiteral("%1: %2 шт., %3\n")
            .arg(OrderSheet::totalTitle(), text(total, OrderSheet::Quantity), text(total, OrderSheet::Sum));
    return body;
}

QUrl OrderMail::link(const QString& address, const QString& subject, const QString& body)
{
    if (address.trimmed().isEmpty())
        throw Error(
            QCoreApplication::translate("OrderMail", "Не указан электронный адрес поставщика (Настройки)"));
    if (body.size() > kMaxBodyLength)
        throw Error(QCoreApplication::translate("OrderMail",
                                                "Заказ слишком длинный для письма (%1 знаков, можно до %2)")
                        .arg(body.size())
                        .arg(kMaxBodyLength));
    // Line breaks as CRLF and every reserved character escaped, "+" and "&"
    // included, as mailto: links require.
    QString crlf = body;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(address.trimmed(), "@") +
                               "?subject=" + QUrl::toPercentEncoding(subject) +
                               "&body=" + QUrl::toPercentEncoding(crlf);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}
