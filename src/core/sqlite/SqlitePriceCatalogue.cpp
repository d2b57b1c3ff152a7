#include "SqlitePriceCatalogue.h"

#include "core/sqlite/CrossIndex.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/KeySpellings.h"
#include "core/sqlite/Schema.h"
#include "core/text/CaseFolding.h"
#include "core/text/Money.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <QHash>

#include <algorithm>
#include <optional>
#include <tuple>

namespace {

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
class GroupDiscounts
{
public:
    GroupDiscounts(SQLite::Database& db, SQLite::Statement& discount) : m_db(db), m_discount(discount) {}

    const Discounts& of(const QString& code)
    {
        auto found = m_known.find(code);
        if (found != m_known.end())
            return *found;
        Discounts discounts;
        for (const std::string& spelling :
             KeySpellings::find(m_db, "GROUPS", "GROUPCODE", code, KeySpellings::Case::GroupCode)) {
            m_discount.reset();
            m_discount.bind(1, spelling);
            while (m_discount.executeStep())
                discounts.push_back(real(m_discount.getColumn(0)));
        }
        return *m_known.insert(code, discounts);
    }

private:
    SQLite::Database& m_db;
    SQLite::Statement& m_discount;
    QHash<QString, Discounts> m_known;
};

// Reads in one transaction, so no commit by another program falls between
// its statements; a transaction the caller holds open does the same.
template <typename Read> auto inSnapshot(SQLite::Database& db, Read read)
{
    std::optional<SQLite::Transaction> snapshot;
    if (sqlite3_get_autocommit(db.getHandle()))
        snapshot.emplace(db);
    auto result = read();
    if (snapshot)
        snapshot->commit();
    return result;
}

} // namespace

PriceRow SqlitePriceCatalogue::readPart(SQLite::Statement& query)
{
    PriceRow row;
    row.groupCode = text(query.getColumn(0));
    row.partNumber = text(query.getColumn(1));
    row.shortPartNumber = text(query.getColumn(2));
    row.partName = text(query.getColumn(3));
    row.crossNumber = text(query.getColumn(4));
    if (const std::optional<double> single = real(query.getColumn(5)))
        row.price = Money::fromSingle(*single);
    for (int w = 0; w < Tables::kWarehouseCount; ++w) {
        const SQLite::Column stock = query.getColumn(6 + w);
        if (!stock.isNull())
            row.stock[size_t(w)] = stock.getInt64();
    }
    return row;
}

SqlitePriceCatalogue::SqlitePriceCatalogue(Database& database, CrossIndex& crossIndex)
    : m_database(database), m_crossIndex(crossIndex)
{}

void SqlitePriceCatalogue::prepare()
{
    SQLite::Database& db = m_database.connection();
    SQLite::Transaction snapshot(db);
    m_crossIndex.refresh(db);
    snapshot.commit();
}

QStringList SqlitePriceCatalogue::crossesOf(const QString& searchNr)
{
    if (searchNr.isEmpty())
        return {};
    SQLite::Database& db = m_database.connection();
    // The cross index is checked and used in one read transaction.
    return inSnapshot(db, [&] {
        m_crossIndex.refresh(db);
        return m_crossIndex.crossesOf(searchNr);
    });
}

std::vector<PriceRow> SqlitePriceCatalogue::priceList(const QString& cross, const Rates& rates)
{
    SQLite::Database& db = m_database.connection();
    std::vector<Ranked> ranked;
    // A file no update has written yet shows no changes.
    const bool withChanges = db.tableExists(Tables::kPriceChangesTable);
    SQLite::Statement parts(
        db,
        QStringLiteral("SELECT %1, P.rowid, %2 FROM PRICE P %3 WHERE P.CROSSNUMBER = ?")
            .arg(QLatin1String(kPartColumns),
                 withChanges ? QStringLiteral("C.KIND, C.OLD_PRICE") : QStringLiteral("NULL, NULL"),
                 withChanges ? QStringLiteral("LEFT JOIN PRICE_CHANGES C ON C.ROW_ID = P.rowid") : QString())
            .toStdString());
    GroupDiscounts discounts(db, prepared(m_discountOfGroup, kDiscountOfGroup));
    for (const std::string& spelling : KeySpellings::find(db, "PRICE", "CROSSNUMBER", cross)) {
        parts.reset();
        parts.bind(1, spelling);
        while (parts.executeStep()) {
            // A part without a group code joins no group.
            if (parts.getColumn(0).isNull())
                continue;
            PriceRow row = readPart(parts);
            row.change = PriceChange::fromName(text(parts.getColumn(kPartColumnCount + 1)));
            row.oldPrice = real(parts.getColumn(kPartColumnCount + 2));
            row.priceUsd = divided(row.price, rates.usd);
            row.priceEur = divided(row.price, rates.eur);
            for (const std::optional<double>& discount : discounts.of(row.groupCode)) {
                PriceRow joined = row;
                joined.applyDiscount(discount);
                ranked.push_back({std::move(joined), parts.getColumn(kPartColumnCount).getInt64()});
            }
        }
    }
    return inGridOrder(std::move(ranked));
}

std::vector<PriceRow> SqlitePriceCatalogue::partsByNumber(const QString& partNumber, const QString& groupCode,
                                                          const QString& shortPartNumber, Scope scope)
{
    SQLite::Database& db = m_database.connection();
    GroupDiscounts discounts(db, prepared(m_discountOfGroup, kDiscountOfGroup));
    std::vector<PriceRow> rows;
    const auto take = [&](SQLite::Statement& query) {
        while (query.executeStep()) {
            if (query.getColumn(0).isNull())
                continue;
            PriceRow row = readPart(query);
            if (!UnicodeCaseFolding::equal(row.partNumber, partNumber) ||
                (!groupCode.isEmpty() && !UnicodeCaseFolding::equal(row.groupCode, groupCode)))
                continue;
            const Discounts& found = discounts.of(row.groupCode);
            if (found.empty())
                continue;
            row.applyDiscount(found.front());
            rows.push_back(std::move(row));
        }
    };
    SQLite::Statement& byShortNumber =
        prepared(m_partsOfShortNumber, QStringLiteral("SELECT %1 FROM PRICE P WHERE P.SHORTPARTNUMBER = ?")
                                           .arg(QLatin1String(kPartColumns))
                                           .toStdString());
    const auto lookUp = [&](const std::string& spelling) {
        byShortNumber.reset();
        byShortNumber.bind(1, spelling);
        take(byShortNumber);
    };
    // Price lists rarely change the letter case of a part number: the
    // stored spelling alone first.
    lookUp(shortPartNumber.toStdString());
    if (rows.empty())
        for (const std::string& spelling :
             KeySpellings::find(db, "PRICE", "SHORTPARTNUMBER", shortPartNumber))
            lookUp(spelling);
    if (rows.empty() && scope == Scope::WholeList) {
        SQLite::Statement all(
            db, QStringLiteral("SELECT %1 FROM PRICE P").arg(QLatin1String(kPartColumns)).toStdString());
        take(all);
    }
    return rows;
}

SQLite::Statement& SqlitePriceCatalogue::prepared(std::unique_ptr<SQLite::Statement>& slot,
                                                  const std::string& sql)
{
    if (!slot)
        slot = std::make_unique<SQLite::Statement>(m_database.connection(), sql);
    slot->reset();
    return *slot;
}

void SqlitePriceCatalogue::releaseStatements()
{
    m_partsOfShortNumber.reset();
    m_discountOfGroup.reset();
}

void SqlitePriceCatalogue::checkPriceTable()
{
    SQLite::Statement probe(m_database.connection(), "SELECT * FROM PRICE LIMIT 0");
    probe.executeStep();
}
