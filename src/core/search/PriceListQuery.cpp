#include "PriceListQuery.h"

#include "core/db/Schema.h"
#include "core/search/KeySpellings.h"
#include "core/text/Money.h"

#include <SQLiteCpp/Statement.h>

#include <QHash>

#include <algorithm>
#include <tuple>

namespace {

constexpr char kPartsOfCross[] = R"(SELECT P.rowid, P.GROUPCODE, P.PARTNUMBER, P.SHORTPARTNUMBER, P.PARTNAME,
P.CROSSNUMBER, P.PRICE, P.WH0, P.WH1, P.WH2, P.WH3, P.WH4, P.WH5, P.WH6, P.WH7, P.WH8, %1 FROM PRICE P %2
WHERE P.CROSSNUMBER = ?)";
constexpr char kDiscountOfGroup[] = "SELECT DISCOUNT FROM GROUPS WHERE GROUPCODE = ?";

using Discounts = std::vector<std::optional<double>>;

QString text(const SQLite::Column& column)
{
    return column.isNull() ? QString() : QString::fromUtf8(column.getText());
}

std::optional<double> real(const SQLite::Column& column)
{
    return column.isNull() ? std::nullopt : std::optional<double>(column.getDouble());
}

std::optional<double> divided(const std::optional<double>& price, double rate)
{
    if (!price || rate == 0)
        return std::nullopt;
    return *price / rate;
}

// The discounts of every group whose code equals code ignoring case: one
// entry per such group, as the join of the two tables gives one row each.
Discounts discountsOf(SQLite::Database& db, SQLite::Statement& discount, const QString& code)
{
    Discounts discounts;
    for (const std::string& spelling :
         KeySpellings::find(db, "GROUPS", "GROUPCODE", code, KeySpellings::Case::GroupCode)) {
        discount.reset();
        discount.bind(1, spelling);
        while (discount.executeStep())
            discounts.push_back(real(discount.getColumn(0)));
    }
    return discounts;
}

} // namespace

std::vector<PriceRow> PriceListQuery::open(SQLite::Database& db, const QString& cross, double rateUsd,
                                           double rateEur)
{
    struct Ranked
    {
        PriceRow row;
        qint64 rowId;
    };
    std::vector<Ranked> ranked;
    QHash<QString, Discounts> groups;
    // A file no update has written yet shows no changes.
    const bool withChanges = db.tableExists(Schema::kPriceChangesTable);
    SQLite::Statement parts(
        db,
        QString::fromLatin1(kPartsOfCross)
            .arg(withChanges ? QStringLiteral("C.KIND, C.OLD_PRICE") : QStringLiteral("NULL, NULL"),
                 withChanges ? QStringLiteral("LEFT JOIN PRICE_CHANGES C ON C.ROW_ID = P.rowid") : QString())
            .toStdString());
    SQLite::Statement discount(db, kDiscountOfGroup);
    for (const std::string& spelling : KeySpellings::find(db, "PRICE", "CROSSNUMBER", cross)) {
        parts.reset();
        parts.bind(1, spelling);
        while (parts.executeStep()) {
            // A part without a group code joins no group.
            if (parts.getColumn(1).isNull())
                continue;
            PriceRow row;
            row.groupCode = text(parts.getColumn(1));
            row.partNumber = text(parts.getColumn(2));
            row.shortPartNumber = text(parts.getColumn(3));
            row.partName = text(parts.getColumn(4));
            row.crossNumber = text(parts.getColumn(5));
            // Amounts are computed from the decimal price the supplier wrote.
            if (const std::optional<double> single = real(parts.getColumn(6)))
                row.price = Money::fromSingle(*single);
            for (int w = 0; w < 9; ++w) {
                const SQLite::Column stock = parts.getColumn(7 + w);
                if (!stock.isNull())
                    row.stock[size_t(w)] = stock.getInt64();
            }
            row.change = PriceChange::fromName(text(parts.getColumn(16)));
            row.oldPrice = real(parts.getColumn(17));
            row.priceUsd = divided(row.price, rateUsd);
            row.priceEur = divided(row.price, rateEur);
            auto found = groups.find(row.groupCode);
            if (found == groups.end())
                found = groups.insert(row.groupCode, discountsOf(db, discount, row.groupCode));
            for (const std::optional<double>& groupDiscount : *found) {
                PriceRow joined = row;
                if (row.price && groupDiscount)
                    joined.vhod = *row.price * (100 - *groupDiscount) / 100;
                ranked.push_back({std::move(joined), parts.getColumn(0).getInt64()});
            }
        }
    }
    // Empty input prices first, as the engine sorts nulls.
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        return std::make_tuple(a.row.vhod.has_value(), a.row.vhod.value_or(0), a.rowId) <
               std::make_tuple(b.row.vhod.has_value(), b.row.vhod.value_or(0), b.rowId);
    });
    std::vector<PriceRow> rows;
    rows.reserve(ranked.size());
    for (Ranked& entry : ranked)
        rows.push_back(std::move(entry.row));
    return rows;
}
