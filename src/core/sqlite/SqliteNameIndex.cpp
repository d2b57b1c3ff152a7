#include "SqliteNameIndex.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/KeySpellings.h"
#include "core/sqlite/NameBucketedOrder.h"
#include "core/sqlite/NameIndexCoding.h"
#include "core/sqlite/NameIndexWriter.h"
#include "core/sqlite/NameSortedOrder.h"
#include "core/sqlite/RawSql.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "core/sqlite/UnmappedReads.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QHash>
#include <QtAlgorithms>

#include <algorithm>
#include <limits>
#include <unordered_set>

using NameIndexCoding::damaged;
using NameIndexCoding::decode;
using RawSql::prepare;
using RawSql::Prepared;

namespace {

constexpr char kSelectGroups[] = "SELECT GROUPCODE, GROUPNAME FROM GROUPS ORDER BY rowid";
constexpr char kSelectGroupCodes[] = "SELECT rowid, GROUPCODE FROM PRICE";

// The parts by their numbers in the order of names, one bit each.
using PartSet = std::vector<quint64>;

// Adds the parts of a word, as PART_NAME_WORDS keeps them, to set.
void addParts(const void* encoded, int size, PartSet& set)
{
    qint64 part = -1;
    decode(encoded, size, [&](quint64 delta) {
        part += qint64(delta);
        if (part < 0 || size_t(part >> 6) >= set.size())
            damaged();
        set[size_t(part >> 6)] |= quint64(1) << (part & 63);
    });
}

// The PRICE rowids of the parts whose group is not in groups (by folded
// code): the grid does not show them, nor does this search.
std::unordered_set<qint64> partsWithoutGroup(SQLite::Database& db, const QHash<QString, QString>& groups)
{
    std::unordered_set<qint64> without;
    QHash<QByteArray, bool> known; // by the code as spelled: a list has few codes
    SQLite::Statement parts(db, kSelectGroupCodes);
    while (parts.executeStep()) {
        const SQLite::Column code = parts.getColumn(1);
        const QByteArray spelled(static_cast<const char*>(code.getBlob()), code.getBytes());
        auto found = known.constFind(spelled);
        if (found == known.constEnd())
            found = known.insert(spelled, !code.isNull() && groups.contains(UnicodeCaseFolding::fold(
                                                                QString::fromUtf8(spelled))));
        if (!*found)
            without.insert(parts.getColumn(0).getInt64());
    }
    return without;
}

// The names of the groups by their codes folded as the grid joins them; the
// first of groups whose codes differ only in case.
QHash<QString, QString> groupNames(SQLite::Database& db)
{
    QHash<QString, QString> names;
    if (!db.tableExists(Tables::kGroupsTable))
        return names;
    SQLite::Statement groups(db, kSelectGroups);
    while (groups.executeStep()) {
        if (groups.getColumn(0).isNull())
            continue;
        const QString code = UnicodeCaseFolding::fold(QString::fromUtf8(groups.getColumn(0).getText()));
        if (!names.contains(code))
            names.insert(code, QString::fromUtf8(groups.getColumn(1).getText()));
    }
    return names;
}

} // namespace

SqliteNameIndex::SqliteNameIndex(Database& database) : m_database(database)
{}

QStringList SqliteNameIndex::tables()
{
    return {QLatin1String(Schema::kNameWordsTable), QLatin1String(Schema::kNameOrderTable)};
}

bool SqliteNameIndex::exists(SQLite::Database& db)
{
    return db.tableExists(Schema::kNameOrderTable) && db.tableExists(Schema::kNameWordsTable);
}

bool SqliteNameIndex::isBuilt()
{
    return exists(m_database.connection());
}

void SqliteNameIndex::forget()
{
    m_order = {};
    m_wideOrder = {};
    m_groups.clear();
    m_hidden.clear();
    m_dataVersion = -1;
}

void SqliteNameIndex::refresh(SQLite::Database& db)
{
    // Changes whenever another connection has committed to the file.
    const qint64 version = db.execAndGet("PRAGMA data_version").getInt64();
    if (version == m_dataVersion)
        return;
    forget();
    // Room for every part at once: grown by doubling, the order would leave
    // the room it outgrew with the thread's heap.
    const qint64 lastRow =
        db.execAndGet("SELECT coalesce(max(FIRST), 0) FROM " + std::string(Schema::kNameOrderTable))
            .getInt64();
    if (lastRow >= 0 && lastRow <= std::numeric_limits<quint32>::max()) // else damaged, as decoding will say
        m_order.reserve(size_t(lastRow) + NameIndexWriter::kOrderRowParts);
    const Prepared order = prepare(db.getHandle(), Schema::kSelectNameOrder);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(order.get())) == SQLITE_ROW) {
        if (sqlite3_column_int64(order.get(), 0) != qint64(partCount()))
            damaged();
        decode(sqlite3_column_blob(order.get(), 1), sqlite3_column_bytes(order.get(), 1),
               [this](quint64 part) {
                   if (m_wideOrder.empty() && part <= std::numeric_limits<quint32>::max()) {
                       m_order.push_back(quint32(part));
                       return;
                   }
                   if (m_wideOrder.empty()) {
                       m_wideOrder.assign(m_order.begin(), m_order.end());
                       m_order = {};
                   }
                   m_wideOrder.push_back(qint64(part));
               });
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
    m_groups = groupNames(db);
    const std::unordered_set<qint64> without = partsWithoutGroup(db, m_groups);
    if (!without.empty()) {
        m_hidden.assign((partCount() + 63) / 64, 0);
        for (size_t i = 0; i < partCount(); ++i)
            if (without.count(partAt(i)))
                m_hidden[i / 64] |= quint64(1) << (i % 64);
    }
    m_dataVersion = version;
}

NameIndex::Found SqliteNameIndex::find(const QStringList& query, qint64 limit)
{
    Found found;
    if (query.isEmpty())
        return found;
    SQLite::Database& db = m_database.connection();
    if (!exists(db))
        throw Error(QCoreApplication::translate(
            "SqliteNameIndex", "Названия позиций ещё не проиндексированы: обновите прайс-лист"));
    // A search reads all over the file, and the order and every part's
    // group whole after each change of the list: none of it is kept mapped.
    const UnmappedReads unmapped(db);
    // The parts shown and the count from one state of the file.
    db.exec("SAVEPOINT name_search");
    try {
        refresh(db);
        const qint64 parts = qint64(partCount());
        PartSet matching;
        {
            const Prepared words = prepare(db.getHandle(), Schema::kSelectNameWords);
            for (const QString& typed : query) {
                const std::string word = typed.toStdString();
                const std::string bound = KeySpellings::rangeEnd(word);
                PartSet some(size_t(parts + 63) / 64);
                sqlite3_bind_text(words.get(), 1, word.data(), int(word.size()), SQLITE_STATIC);
                sqlite3_bind_text(words.get(), 2, bound.data(), int(bound.size()), SQLITE_STATIC);
                int result = SQLITE_ROW;
                while ((result = sqlite3_step(words.get())) == SQLITE_ROW)
                    addParts(sqlite3_column_blob(words.get(), 0), sqlite3_column_bytes(words.get(), 0), some);
                if (result != SQLITE_DONE)
                    throw SQLite::Exception(db.getHandle(), result);
                sqlite3_reset(words.get());
                if (matching.empty()) {
                    matching = std::move(some);
                } else {
                    for (size_t i = 0; i < matching.size(); ++i)
                        matching[i] &= some[i];
                }
            }
        }
        for (size_t i = 0; i < m_hidden.size(); ++i)
            matching[i] &= ~m_hidden[i];
        for (const quint64 bits : matching)
            found.total += qPopulationCount(bits);

        SQLite::Statement part(db, QStringLiteral("SELECT %1 FROM PRICE P WHERE P.rowid = ?")
                                       .arg(QLatin1String(SqlitePriceCatalogue::kPartColumns))
                                       .toStdString());
        const qint64 shown = limit < 0 ? found.total : std::min(limit, found.total);
        for (size_t i = 0; i < matching.size() && qint64(found.shown.size()) < shown; ++i) {
            for (quint64 bits = matching[i]; bits != 0 && qint64(found.shown.size()) < shown;
                 bits &= bits - 1) {
                part.bind(1, static_cast<int64_t>(partAt(i * 64 + size_t(qCountTrailingZeroBits(bits)))));
                if (!part.executeStep())
                    damaged();
                Match match{SqlitePriceCatalogue::readPart(part), QString()};
                match.groupName = m_groups.value(UnicodeCaseFolding::fold(match.part.groupCode));
                found.shown.push_back(std::move(match));
                part.reset();
            }
        }
        db.exec("RELEASE name_search");
    } catch (...) {
        db.exec("ROLLBACK TO name_search");
        db.exec("RELEASE name_search");
        throw;
    }
    return found;
}

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener,
                            std::string_view prefix)
{
    build(database, listener, prefix, Bounds());
}

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener,
                            std::string_view prefix, const Bounds& bounds)
{
    const auto named = [prefix](std::string_view statement, std::string_view table) {
        return Schema::prefixed(statement, table, prefix);
    };
    database.exec(named(Schema::kCreateNameWords, Schema::kNameWordsTable));
    database.exec(named(Schema::kCreateNameOrder, Schema::kNameOrderTable));
    // Lists repeat names a lot, and their parts are ordered fastest by the
    // places of their names; a list of names nearly all different is left
    // to SQLite's sorter, which keeps none of them.
    NameBucketedOrder bucketed(database, bounds.keptNames, bounds.partBytes);
    bucketed.read(prefix);
    if (bucketed.complete()) {
        NameIndexWriter writer(database, prefix, listener, bucketed.count(), bounds.wordPartsBytes);
        bucketed.write(bounds.bucketParts, writer);
        writer.finish();
    } else {
        // The order read lets go of its parts once it gives up.
        const std::string price = std::string(prefix) + Tables::kPriceTable;
        const qint64 count = database.execAndGet("SELECT count(*) FROM " + price).getInt64();
        NameIndexWriter writer(database, prefix, listener, count, bounds.wordPartsBytes);
        NameSortedOrder::write(database, prefix, writer);
        writer.finish();
    }
}
