#include "SqliteNameIndex.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "core/text/NameWords.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <memory>

namespace {

using Prepared = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Prepared prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (const int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr))
        throw SQLite::Exception(db, result);
    return Prepared(statement, &sqlite3_finalize);
}

void insertRow(sqlite3* db, sqlite3_stmt* insert)
{
    if (const int result = sqlite3_step(insert); result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
    sqlite3_reset(insert);
}

std::string_view text(sqlite3_stmt* query, int column)
{
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return std::string_view(value ? value : "", size_t(sqlite3_column_bytes(query, column)));
}

// A part as the index orders it: the folded name, PARTNUMBER and GROUPCODE
// in UTF-8 (whose byte order is code-point order), each ended by a zero
// byte so that a shorter field sorts first, then the file's order.
struct Entry
{
    std::string key;
    std::string words;
    qint64 part = 0;

    bool operator<(const Entry& other) const
    {
        const int order = key.compare(other.key);
        return order != 0 ? order < 0 : part < other.part;
    }
};

constexpr char kSelectNames[] = "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE";
constexpr char kCountMatches[] = "SELECT count(*) FROM PART_NAME_WORDS WHERE PART_NAME_WORDS MATCH ?";
constexpr char kSelectGroups[] = "SELECT GROUPCODE, GROUPNAME FROM GROUPS ORDER BY rowid";

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
    const QString words = QLatin1String(Schema::kNameWordsTable);
    QStringList all{words, QLatin1String(Schema::kNameOrderTable)};
    for (const char* shadow : {"_data", "_idx", "_config", "_content", "_docsize"})
        all << words + QLatin1String(shadow);
    return all;
}

bool SqliteNameIndex::exists(SQLite::Database& db)
{
    return db.tableExists(Schema::kNameOrderTable) && db.tableExists(Schema::kNameWordsTable);
}

bool SqliteNameIndex::isBuilt()
{
    return exists(m_database.connection());
}

std::string SqliteNameIndex::matchExpression(const QStringList& query)
{
    QStringList terms;
    for (QString word : query)
        terms << QLatin1Char('"') + word.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                     QLatin1String("\"*");
    return terms.join(QLatin1String(" AND ")).toStdString();
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
    const std::string match = matchExpression(query);
    // The parts shown and the count from one state of the file.
    db.exec("SAVEPOINT name_search");
    try {
        const QHash<QString, QString> groups = groupNames(db);
        SQLite::Statement parts(
            db, QStringLiteral("SELECT %1 FROM PART_NAME_WORDS W JOIN PART_NAME_ORDER O ON O.rowid = W.rowid "
                               "JOIN PRICE P ON P.rowid = O.PART WHERE PART_NAME_WORDS MATCH ? "
                               "ORDER BY W.rowid LIMIT ?")
                    .arg(QLatin1String(SqlitePriceCatalogue::kPartColumns))
                    .toStdString());
        parts.bind(1, match);
        parts.bind(2, static_cast<int64_t>(limit < 0 ? -1 : limit));
        while (parts.executeStep()) {
            Match part{SqlitePriceCatalogue::readPart(parts), QString()};
            part.groupName = groups.value(UnicodeCaseFolding::fold(part.part.groupCode));
            found.shown.push_back(std::move(part));
        }
        found.total = qint64(found.shown.size());
        if (limit >= 0 && found.total >= limit) {
            SQLite::Statement count(db, kCountMatches);
            count.bind(1, match);
            count.executeStep();
            found.total = count.getColumn(0).getInt64();
        }
        db.exec("RELEASE name_search");
    } catch (...) {
        db.exec("ROLLBACK TO name_search");
        db.exec("RELEASE name_search");
        throw;
    }
    return found;
}

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener)
{
    sqlite3* db = database.getHandle();
    const qint64 count = database.execAndGet("SELECT count(*) FROM PRICE").getInt64();
    std::vector<Entry> entries;
    entries.reserve(size_t(count));
    {
        const Prepared names = prepare(db, kSelectNames);
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(names.get())) == SQLITE_ROW) {
            const std::string_view name = text(names.get(), 1);
            const QString written = QString::fromUtf8(name.data(), qsizetype(name.size()));
            Entry entry;
            entry.key = NameWords::orderKey(written).toStdString();
            entry.key += '\0';
            entry.key += text(names.get(), 2);
            entry.key += '\0';
            entry.key += text(names.get(), 3);
            entry.words = NameWords::indexed(written).toStdString();
            entry.part = sqlite3_column_int64(names.get(), 0);
            entries.push_back(std::move(entry));
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
    }
    std::sort(entries.begin(), entries.end());

    database.exec(Schema::kCreateNameWords);
    database.exec(Schema::kCreateNameOrder);
    const Prepared words = prepare(db, Schema::kInsertNameWords);
    const Prepared order = prepare(db, Schema::kInsertNameOrder);
    qint64 rank = 0;
    for (Entry& entry : entries) {
        ++rank;
        sqlite3_bind_int64(words.get(), 1, rank);
        sqlite3_bind_text(words.get(), 2, entry.words.data(), int(entry.words.size()), SQLITE_STATIC);
        insertRow(db, words.get());
        sqlite3_bind_int64(order.get(), 1, rank);
        sqlite3_bind_int64(order.get(), 2, entry.part);
        insertRow(db, order.get());
        std::string().swap(entry.words);
        if (rank % 16384 == 0 && listener.progress)
            listener.progress(rank, count);
    }
}
