#include "Order.h"

#include "core/storage/OrderStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/storage/Storage.h"
#include "core/text/RegionalFormats.h"

qint64 Order::centsAsShown(double amount)
{
    QString shown = RegionalFormats::formatMoney(amount);
    shown.remove(RegionalFormats::decimalSeparator());
    return shown.toLongLong();
}

QString Order::moneyText(qint64 cents, QChar decimalSeparator)
{
    const QString sign = cents < 0 ? QStringLiteral("-") : QString();
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return sign + QString::number(magnitude / 100) + decimalSeparator +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

Order Order::read(Storage& storage)
{
    Order order;
    // A snapshot that another client's change cannot split.
    storage.readInOneSnapshot([&] { order.readLines(storage.order(), storage.catalogue()); });
    return order;
}

void Order::readLines(OrderStorage& stored, PriceCatalogue& catalogue)
{
    const std::vector<OrderStorage::Line> lines = stored.lines();
    m_lines.reserve(lines.size());
    for (const OrderStorage::Line& entry : lines) {
        Line line;
        line.id = entry.id;
        line.quantity = entry.quantity;
        const std::vector<PriceRow> rows = catalogue.partsByNumber(
            entry.partNumber, entry.groupCode, entry.shortPartNumber, PriceCatalogue::Scope::ShortNumber);
        line.withdrawn = rows.empty();
        if (line.withdrawn) {
            line.partNumber = entry.partNumber;
            line.groupCode = entry.groupCode;
            line.partName = entry.partName;
        } else {
            const PriceRow& row = rows.front();
            line.partNumber = row.partNumber;
            line.groupCode = row.groupCode;
            line.partName = row.partName;
            line.stock = row.stock;
            m_totalQuantity += line.quantity;
            if (row.vhod) {
                line.priceCents = centsAsShown(*row.vhod);
                line.sumCents = *line.priceCents * line.quantity;
                m_totalCents += *line.sumCents;
            }
        }
        m_lines.push_back(std::move(line));
    }
}
