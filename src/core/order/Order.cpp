#include "Order.h"

#include "core/search/KeySpellings.h"
#include "core/text/Money.h"
#include "core/text/NormalizePartNumber.h"
#include "core/text/RegionalFormats.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QHash>

namespace {

constexpr char kPartColumns[] =
    "SELECT GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, PRICE, WH0, WH1, WH2, "
    "WH3, WH4, WH5, WH6, WH7, WH8 FROM PRICE";
constexpr char kAllGroups[] = "SELECT GROUPCODE, DISCOUNT FROM GROUPS ORDER BY rowid";

QString text(const SQLite::Column& column)
{
    return column.isNull() ? QString() : QString::fromUtf8(column.getText());
}

// Finds parts of the current price list with their input price as the
// grid computes it: PRICE, as the decimal its single stands for, less the
// discount of the group, whose code matches ignoring case; a part whose
// group is missing is not listed.
class PriceLookup
{
public:
    explicit PriceLookup(SQLite::Database& db)
        : m_db(db), m_byShortNumber(db, std::string(kPartColumns) + " WHERE SHORTPARTNUMBER = ?")
    {
        // A few hundred groups at most: read once rather than once per part.
        SQLite::Statement groups(db, kAllGroups);
        while (groups.executeStep()) {
            const QString code = text(groups.getColumn(0)).toCaseFolded();
            if (!m_discounts.contains(code))
                m_discounts.insert(code, groups.getColumn(1).isNull()
                                             ? std::nullopt
                                             : std::optional<double>(groups.getColumn(1).getDouble()));
        }
    }

    // Through the index on SHORTPARTNUMBER; an empty group code matches any.
    // The spelling stored with an order line is tried alone first: price
    // lists rarely change the letter case of a part number.
    std::vector<PriceRow> find(const QString& partNumber, const QString& groupCode,
                               const QString& shortPartNumber)
    {
        std::vector<PriceRow> rows;
        const auto collect = [&](const std::string& spelling) {
            m_byShortNumber.reset();
            m_byShortNumber.bind(1, spelling);
            while (m_byShortNumber.executeStep())
                take(m_byShortNumber, partNumber, groupCode, rows);
        };
        collect(shortPartNumber.toStdString());
        if (rows.empty())
            for (const std::string& spelling :
                 KeySpellings::find(m_db, "PRICE", "SHORTPARTNUMBER", shortPartNumber))
                collect(spelling);
        return rows;
    }

    // Reads the whole table: for part numbers whose short form the supplier
    // wrote otherwise than the search would.
    std::vector<PriceRow> scan(const QString& partNumber, const QString& groupCode)
    {
        std::vector<PriceRow> rows;
        SQLite::Statement all(m_db, kPartColumns);
        while (all.executeStep())
            take(all, partNumber, groupCode, rows);
        return rows;
    }

private:
    void take(SQLite::Statement& part, const QString& partNumber, const QString& groupCode,
              std::vector<PriceRow>& rows) const
    {
        PriceRow row;
        row.groupCode = text(part.getColumn(0));
        row.partNumber = text(part.getColumn(1));
        if (!OrderStore::equalIgnoringCase(row.partNumber, partNumber) ||
            (!groupCode.isEmpty() && !OrderStore::equalIgnoringCase(row.groupCode, groupCode)))
            return;
        const auto discount = m_discounts.find(row.groupCode.toCaseFolded());
        if (part.getColumn(0).isNull() || discount == m_discounts.end())
            return;
        row.shortPartNumber = text(part.getColumn(2));
        row.partName = text(part.getColumn(3));
        if (!part.getColumn(4).isNull()) {
            row.price = Money::fromSingle(part.getColumn(4).getDouble());
            if (*discount)
                row.vhod = *row.price * (100 - **discount) / 100;
        }
        for (int w = 0; w < 9; ++w)
            if (!part.getColumn(5 + w).isNull())
                row.stock[size_t(w)] = part.getColumn(5 + w).getInt64();
        rows.push_back(std::move(row));
    }

    SQLite::Database& m_db;
    SQLite::Statement m_byShortNumber;
    QHash<QString, std::optional<double>> m_discounts;
};

} // namespace

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

std::vector<PriceRow> Order::findPart(SQLite::Database& db, const QString& partNumber,
                                      const QString& groupCode)
{
    PriceLookup lookup(db);
    std::vector<PriceRow> rows = lookup.find(partNumber, groupCode, NormalizePartNumber(partNumber));
    if (rows.empty())
        rows = lookup.scan(partNumber, groupCode);
    return rows;
}

Order Order::read(SQLite::Database& db)
{
    // One read transaction: one lock for the whole order instead of one per
    // statement, and a snapshot that another client's change cannot split.
    SQLite::Transaction snapshot(db);
    Order order;
    const std::vector<OrderStore::Line> stored = OrderStore::lines(db);
    if (stored.empty())
        return order;
    PriceLookup lookup(db);
    order.m_lines.reserve(stored.size());
    for (const OrderStore::Line& entry : stored) {
        Line line;
        line.id = entry.id;
        line.quantity = entry.quantity;
        const std::vector<PriceRow> rows =
            lookup.find(entry.partNumber, entry.groupCode, entry.shortPartNumber);
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
            order.m_totalQuantity += line.quantity;
            if (row.vhod) {
                line.priceCents = centsAsShown(*row.vhod);
                line.sumCents = *line.priceCents * line.quantity;
                order.m_totalCents += *line.sumCents;
            }
        }
        order.m_lines.push_back(std::move(line));
    }
    return order;
}
