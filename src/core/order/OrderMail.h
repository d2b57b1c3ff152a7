#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

class OrderSheet;

// The order as a message to the supplier, for the desktop's mail program
// through a mailto: link.
class OrderMail
{
public:
    // Mail programs and the desktop cut longer links.
    static constexpr int kMaxBodyLength = 1800;

    static QString subject(const QString& clientName, const QDate& date);
    // One line per part, then the totals, amounts as the order window shows them.
    static QString body(const OrderSheet& sheet, QChar decimalSeparator);
    // Throws, saying why, when the address is empty or the body too long.
    static QUrl link(const QString& address, const QString& subject, const QString& body);
};
