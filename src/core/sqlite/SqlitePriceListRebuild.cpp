#include "SqlitePriceListRebuild.h"

#include "core/errors/Error.h"
#include "core/sqlite/BulkInsert.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseReplacement.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqliteNameIndex.h"
#include "core/sqlite/SqliteSettingsStorage.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QFile>
#include <QStringList>
#include <QThread>

#include <cmath>
#include <mutex>

namespace {

// Rows of PRICE_CHANGES, gathered to go in many to a statement.
class ChangeRows
{
public:
    ChangeRows(SQLite::Database& db, const std::string& table)
        : m_insert(db.getHandle(), table.c_str(), kColumns)
    {
        for (const auto kind : {PriceChange::Kind::Up, PriceChange::Kind::Down, PriceChange::Kind::New,
                                PriceChange::Kind::Removed})
            m_names[int(kind)] = PriceChange::name(kind).toStdString();
        m_values.reserve(kRowsPerBatch * kColumns);
    }

    void add(qint64 rowId, PriceChange::Kind kind, FieldValue oldPrice, FieldValue groupCode = {},
             FieldValue partNumber = {}, FieldValue partName = {})
    {
        m_values.emplace_back(rowId);
        m_values.emplace_back(m_names[int(kind)]);
        m_values.push_back(std::move(oldPrice));
        m_values.push_back(std::move(groupCode));
        m_values.push_back(std::move(partNumber));
        m_values.push_back(std::move(partName));
        if (m_values.size() == kRowsPerBatch * kColumns)
            flush();
    }

    void flush()
    {
        m_insert.insert(m_values.data(), m_values.size() / kColumns);
        m_values.clear();
    }

private:
    static constexpr size_t kColumns = Schema::kPriceChangesColumnCount;
    static constexpr size_t kRowsPerBatch = 1024;
    BulkInsert m_insert;
    std::string m_names[4];
    std::vector<FieldValue> m_values;
};

FieldValue priceValue(const std::optional<double>& price)
{
    return price ? FieldValue(*price) : FieldValue();
}

} // namespace

SqlitePriceListRebuild::SqlitePriceListRebuild(const QString& programDir, DatabaseLock& lock,
                                               Listener listener)
    : m_programDir(programDir), m_databaseFileName(ClientFiles::databaseFileName(programDir)), m_lock(lock),
      m_listener(std::move(listener))
{}

SqlitePriceListRebuild::~SqlitePriceListRebuild()
{
    // Closing the connection rolls back what was not committed.
    m_groups.reset();
    m_parts.reset();
    m_db.reset();
}

template <typename Body> auto SqlitePriceListRebuild::onFile(Body&& body)
{
    const std::lock_guard<std::mutex> connection(m_connection);
    try {
        return body();
    } catch (const SQLite::Exception& error) {
        throw Error(DatabaseReplacement::failure(m_databaseFileName, QString::fromUtf8(error.what())));
    }
}

// Long statements (building the indexes) report nothing themselves: SQLite
// calls back every few thousand steps so the caller's window stays alive,
// and interrupts the statement when the caller wants the update stopped.
// Only on the thread that runs the update: the previous list is read on
// another one through the same connection.
int SqlitePriceListRebuild::keepAlive(void* rebuild)
{
    const auto* self = static_cast<SqlitePriceListRebuild*>(rebuild);
    if (QThread::currentThread() != self->m_owner)
        return 0;
    const Listener& listener = self->m_listener;
    return listener.keepAlive && listener.keepAlive() ? 1 : 0;
}

void SqlitePriceListRebuild::begin(bool withGroups)
{
    QStringList replaced{QLatin1String(Tables::kPriceTable), QLatin1String(Tables::kPriceChangesTable)};
    replaced << SqliteNameIndex::tables();
    if (withGroups)
        replaced << QLatin1String(Tables::kGroupsTable);
    start(replaced);
}

void SqlitePriceListRebuild::beginNameIndex()
{
    start({});
    // What a stopped build of an earlier release may have left is no index.
    onFile([&] {
        for (const QString& table : SqliteNameIndex::tables())
            m_db->exec("DROP TABLE IF EXISTS " + table.toStdString());
    });
}

void SqlitePriceListRebuild::start(const QStringList& replaced)
{
    DatabaseReplacement::checkWritable(m_databaseFileName, m_databaseFileName);
    m_exclusive.emplace(m_lock);
    // Left by compaction, or by an update of an earlier release.
    DatabaseCompactor::removeTemporaryFiles(m_programDir);
    m_owner = QThread::currentThread();
    m_replaced = replaced;
    // The previous list is read on a thread of its own while the new one is
    // written, through this one connection, which holds the file (a second
    // connection would hold SQLite's read lock meanwhile, and the pages
    // written would have to stay in memory); m_connection takes turns.
    m_db = DatabaseReplacement::openForWriting(m_databaseFileName, SQLite::OPEN_NOMUTEX);
    onFile([&] {
        SQLite::Database& db = *m_db;
        // Freed pages are not overwritten with zeros: that would journal the
        // whole replaced list. The next update writes over them.
        db.exec("PRAGMA secure_delete=OFF");
        // A small cache makes CREATE INDEX sort in small runs: helper threads
        // sort them while the table is read, and the merge is cheap. One
        // large run is sorted at the end on this thread alone, and slower.
        db.exec("PRAGMA cache_size=-4096");
        db.exec("PRAGMA temp_store=FILE");
        db.exec("PRAGMA threads=2");
        sqlite3_progress_handler(db.getHandle(), 20000, &SqlitePriceListRebuild::keepAlive, this);
    });
    DatabaseReplacement::beginExclusive(*m_db, m_databaseFileName);
    onFile([&] {
        if (!m_db->tableExists(Tables::kPriceTable))
            throw Error(QStringLiteral("no such table: PRICE"));
    });
}

std::string SqlitePriceListRebuild::building(const char* table) const
{
    return m_replaced.contains(QLatin1String(table), Qt::CaseInsensitive) ? kNewPrefix + std::string(table)
                                                                          : std::string(table);
}

std::string SqlitePriceListRebuild::createTable(std::string_view statement, const char* table)
{
    const std::string name = building(table);
    m_db->exec(name == table ? std::string(statement) : Schema::prefixed(statement, table, kNewPrefix));
    return name;
}

qint64 SqlitePriceListRebuild::previousCount()
{
    return onFile([&] { return m_db->execAndGet("SELECT count(*) FROM PRICE").getInt64(); });
}

void SqlitePriceListRebuild::visitPrevious(const std::function<void(const PreviousPart&)>& visit)
{
    // The connection is the update's: rows are read a batch at a time while
    // it is free, and visited after it is given back, so the new list goes
    // in meanwhile.
    struct Row
    {
        qint64 id;
        size_t number;
        size_t group;
        size_t end;
        std::optional<double> price;
    };
    constexpr size_t kBatchRows = 4096;
    std::vector<Row> rows;
    std::string texts;
    rows.reserve(kBatchRows);
    sqlite3* db = m_db->getHandle();
    const char sql[] = "SELECT rowid, PARTNUMBER, GROUPCODE, PRICE FROM PRICE";
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(nullptr, &sqlite3_finalize);
    {
        const std::lock_guard<std::mutex> connection(m_connection);
        sqlite3_stmt* prepared = nullptr;
        if (const int result = sqlite3_prepare_v2(db, sql, sizeof sql, &prepared, nullptr))
            throw SQLite::Exception(db, result);
        query.reset(prepared);
    }
    const auto text = [&query, &texts](int column) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), column));
        texts.append(value ? value : "", size_t(sqlite3_column_bytes(query.get(), column)));
        return texts.size();
    };
    for (int result = SQLITE_ROW; result == SQLITE_ROW;) {
        rows.clear();
        texts.clear();
        {
            const std::lock_guard<std::mutex> connection(m_connection);
            while (rows.size() < kBatchRows && (result = sqlite3_step(query.get())) == SQLITE_ROW) {
                const bool withPrice = sqlite3_column_type(query.get(), 3) != SQLITE_NULL;
                Row row{sqlite3_column_int64(query.get(), 0), 0, 0, 0,
                        withPrice ? std::optional<double>(sqlite3_column_double(query.get(), 3))
                                  : std::nullopt};
                row.number = text(1);
                row.group = text(2);
                rows.push_back(row);
            }
            if (result != SQLITE_ROW && result != SQLITE_DONE)
                throw SQLite::Exception(db, result);
            if (result == SQLITE_DONE)
                query.reset();
        }
        const std::string_view all(texts);
        size_t start = 0;
        for (const Row& row : rows) {
            visit(PreviousPart{row.id, all.substr(start, row.number - start),
                               all.substr(row.number, row.group - row.number), row.price});
            start = row.group;
        }
    }
}

void SqlitePriceListRebuild::createParts()
{
    onFile([&] {
        const std::string table = createTable(Schema::createPriceStatement(), Tables::kPriceTable);
        m_parts =
            std::make_unique<BulkInsert>(m_db->getHandle(), table.c_str(), Tables::kPriceColumns.size());
    });
}

void SqlitePriceListRebuild::appendParts(const FieldValue* values, size_t count)
{
    // The rows of the new table are numbered from 1 as they go in.
    onFile([&] { m_parts->insert(values, count); });
}

void SqlitePriceListRebuild::storeChanges(const std::vector<Change>& changes,
                                          const std::vector<qint64>& removed)
{
    onFile([&] {
        SQLite::Database& db = *m_db;
        ChangeRows rows(db, createTable(Schema::kCreatePriceChanges, Tables::kPriceChangesTable));
        for (const Change& change : changes)
            rows.add(change.part, change.kind, priceValue(change.oldPrice));
        // The removed parts keep their texts under negative ids.
        SQLite::Statement replaced(
            db, "SELECT PRICE, GROUPCODE, PARTNUMBER, PARTNAME FROM PRICE WHERE rowid = ?");
        const auto text = [&replaced](int column) {
            const SQLite::Column stored = replaced.getColumn(column);
            return stored.isNull() ? FieldValue() : FieldValue(stored.getString());
        };
        qint64 number = 0;
        for (const qint64 rowId : removed) {
            replaced.bind(1, static_cast<int64_t>(rowId));
            replaced.executeStep();
            const SQLite::Column price = replaced.getColumn(0);
            rows.add(--number, PriceChange::Kind::Removed,
                     price.isNull() ? FieldValue() : FieldValue(price.getDouble()), text(1), text(2),
                     text(3));
            replaced.reset();
        }
        rows.flush();
    });
}

void SqlitePriceListRebuild::indexParts()
{
    onFile([&] {
        for (const auto& [statement, index] :
             {std::pair(Schema::kCreatePriceShortPartNumberIndex, Schema::kPriceShortPartNumberIndex),
              std::pair(Schema::kCreatePriceCrossNumberIndex, Schema::kPriceCrossNumberIndex)}) {
            const std::string named = Schema::prefixed(statement, index, kNewPrefix);
            m_db->exec(Schema::prefixed(named, Tables::kPriceTable, kNewPrefix));
        }
    });
}

void SqlitePriceListRebuild::indexNames()
{
    onFile([&] {
        SqliteNameIndex::build(*m_db, m_listener, m_replaced.isEmpty() ? std::string() : kNewPrefix);
    });
}

void SqlitePriceListRebuild::createGroups()
{
    onFile([&] {
        const std::string table = createTable(Schema::createGroupsStatement(), Tables::kGroupsTable);
        m_groups =
            std::make_unique<BulkInsert>(m_db->getHandle(), table.c_str(), Tables::kGroupsColumns.size());
    });
}

void SqlitePriceListRebuild::appendGroups(const FieldValue* values, size_t count)
{
    onFile([&] { m_groups->insert(values, count); });
}

std::optional<std::vector<QString>> SqlitePriceListRebuild::groupCodes()
{
    return onFile([&]() -> std::optional<std::vector<QString>> {
        const std::string table = building(Tables::kGroupsTable);
        if (!m_db->tableExists(table))
            return std::nullopt;
        std::vector<QString> codes;
        SQLite::Statement existing(*m_db, "SELECT GROUPCODE FROM " + table);
        while (existing.executeStep())
            codes.push_back(QString::fromUtf8(existing.getColumn(0).getText()));
        return codes;
    });
}

void SqlitePriceListRebuild::addGroup(const QString& code, const QString& name)
{
    onFile([&] {
        SQLite::Statement insert(*m_db, "INSERT INTO " + building(Tables::kGroupsTable) +
                                            " (GROUPCODE, GROUPNAME, DISCOUNT) VALUES (?, ?, 0)");
        insert.bind(1, code.toStdString());
        insert.bind(2, name.toStdString());
        insert.exec();
    });
}

void SqlitePriceListRebuild::stampPriceDate(const QDate& date)
{
    onFile([&] { SqliteSettingsStorage::writePriceDate(*m_db, date); });
}

void SqlitePriceListRebuild::swapTables()
{
    SQLite::Database& db = *m_db;
    QStringList built;
    for (const QString& table : m_replaced)
        if (db.tableExists(kNewPrefix + table.toStdString()))
            built << QStringLiteral("'%1%2'").arg(QLatin1String(kNewPrefix), table);
    // A step at a time, so that progress is shown and a stop is heard
    // while the replaced list's pages are freed.
    const qint64 steps = m_replaced.size() + 1;
    qint64 done = 0;
    for (const QString& table : m_replaced) {
        // With their indexes and triggers; views stay, and see the new table.
        db.exec("DROP TABLE IF EXISTS " + table.toStdString());
        if (m_listener.progress)
            m_listener.progress(++done, steps);
    }
    // SQLite renames a table by rewriting its statement with the new name
    // quoted, and an index not at all: the schema's own rows are renamed
    // instead, each statement back to the one it was made from. The new
    // schema version makes every connection read the schema anew.
    if (built.isEmpty())
        return;
    const qint64 version = db.execAndGet("PRAGMA schema_version").getInt64();
    db.exec("PRAGMA writable_schema=ON");
    const std::string prefix = kNewPrefix;
    db.exec("UPDATE sqlite_master SET name = replace(name, '" + prefix +
            "', ''), tbl_name = replace(tbl_name, '" + prefix + "', ''), sql = replace(sql, '" + prefix +
            "', '') WHERE tbl_name IN (" + built.join(QLatin1Char(',')).toStdString() + ")");
    db.exec("PRAGMA schema_version=" + std::to_string(version + 1));
    db.exec("PRAGMA writable_schema=OFF");
    if (m_listener.progress)
        m_listener.progress(++done, steps);
}

void SqlitePriceListRebuild::commit()
{
    m_groups.reset();
    m_parts.reset();
    onFile([&] {
        if (!m_replaced.isEmpty())
            swapTables();
        m_db->exec("COMMIT");
    });
    m_db.reset();
}
