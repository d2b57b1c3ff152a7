#include "SqlitePriceListRebuild.h"

#include "core/errors/Error.h"
#include "core/sqlite/BulkInsert.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseCopy.h"
#include "core/sqlite/DatabaseReplacement.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqliteNameIndex.h"
#include "core/sqlite/SqliteSettingsStorage.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QFile>
#include <QStringList>

#include <cmath>

namespace {

// Rows of PRICE_CHANGES, gathered to go in many to a statement.
class ChangeRows
{
public:
    explicit ChangeRows(SQLite::Database& db) : m_insert(db.getHandle(), Tables::kPriceChangesTable, kColumns)
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
    : m_programDir(programDir), m_databaseFileName(ClientFiles::databaseFileName(programDir)),
      m_temporaryFileName(DatabaseCompactor::temporaryFileName(programDir)), m_lock(lock),
      m_listener(std::move(listener))
{}

SqlitePriceListRebuild::~SqlitePriceListRebuild()
{
    m_groups.reset();
    m_parts.reset();
    m_copy.reset();
    m_target.reset();
    if (m_live) {
        // Whatever is left of the new file is only in the way.
        try {
            DatabaseCompactor::removeTemporaryFiles(m_programDir);
        } catch (const Error&) {
            // Deleted by the next update or compaction.
        }
    }
}

template <typename Body> auto SqlitePriceListRebuild::onNewFile(Body&& body)
{
    try {
        return body();
    } catch (const SQLite::Exception& error) {
        throw Error(DatabaseReplacement::failure(m_temporaryFileName, QString::fromUtf8(error.what())));
    }
}

// Long statements (building the indexes) report nothing themselves: SQLite
// calls back every few thousand steps so the caller's window stays alive,
// and interrupts the statement when the caller wants the update stopped.
int SqlitePriceListRebuild::keepAlive(void* rebuild)
{
    const Listener& listener = static_cast<SqlitePriceListRebuild*>(rebuild)->m_listener;
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
    start(SqliteNameIndex::tables());
}

void SqlitePriceListRebuild::start(const QStringList& replaced)
{
    DatabaseReplacement::checkWritable(m_databaseFileName, m_temporaryFileName);
    m_exclusive.emplace(m_lock);
    m_live = std::make_unique<DatabaseReplacement>(m_databaseFileName);
    DatabaseCompactor::removeTemporaryFiles(m_programDir);
    onNewFile([&] {
        // Only this thread uses the connection: no locking per SQLite call.
        m_target = std::make_unique<SQLite::Database>(QFile::encodeName(m_temporaryFileName).toStdString(),
                                                      SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE |
                                                          SQLite::OPEN_NOMUTEX);
        SQLite::Database& target = *m_target;
        // Before anything is written. Larger pages mean fewer page splits
        // and cells moved while the rows and the indexes go in, unless the
        // database's WAL mode fixes its page size.
        const int pageSize = m_live->requiredPageSize();
        target.exec("PRAGMA page_size=" + std::to_string(pageSize ? pageSize : 16384));
        target.exec("PRAGMA encoding='" + m_live->textEncoding().toStdString() + "'");
        // The new file is thrown away on any failure and flushed whole before
        // the swap, so it needs no journal of its own while it is built.
        target.exec("PRAGMA journal_mode=OFF");
        target.exec("PRAGMA synchronous=OFF");
        // A small cache makes CREATE INDEX sort in small runs: helper threads
        // sort them while the table is read, and the merge is cheap. One
        // large run is sorted at the end on this thread alone, and slower.
        target.exec("PRAGMA cache_size=-4096");
        target.exec("PRAGMA temp_store=FILE");
        target.exec("PRAGMA threads=2");
        sqlite3_progress_handler(target.getHandle(), 20000, &SqlitePriceListRebuild::keepAlive, this);

        m_copy = std::make_unique<DatabaseCopy>(target, m_databaseFileName, replaced);
        if (!m_copy->sourceHasTable(QLatin1String(Tables::kPriceTable)))
            throw Error(QStringLiteral("no such table: PRICE"));
        target.exec("BEGIN");
        m_copy->copyTables();
    });
}

qint64 SqlitePriceListRebuild::previousCount()
{
    // DatabaseCopy has the replaced file attached as "source".
    return onNewFile([&] { return m_target->execAndGet("SELECT count(*) FROM source.PRICE").getInt64(); });
}

void SqlitePriceListRebuild::visitPrevious(const std::function<void(const PreviousPart&)>& visit)
{
    // A connection of the caller's thread; the file is not written meanwhile.
    // Read through the C interface: a million rows, four columns each.
    SQLite::Database db(QFile::encodeName(m_databaseFileName).toStdString(),
                        SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX);
    const char sql[] = "SELECT rowid, PARTNUMBER, GROUPCODE, PRICE FROM PRICE";
    sqlite3_stmt* prepared = nullptr;
    if (const int result = sqlite3_prepare_v2(db.getHandle(), sql, sizeof sql, &prepared, nullptr))
        throw SQLite::Exception(db.getHandle(), result);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(prepared, &sqlite3_finalize);
    const auto text = [&query](int column) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), column));
        return std::string_view(value ? value : "", size_t(sqlite3_column_bytes(query.get(), column)));
    };
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(query.get())) == SQLITE_ROW) {
        const bool withPrice = sqlite3_column_type(query.get(), 3) != SQLITE_NULL;
        visit(PreviousPart{sqlite3_column_int64(query.get(), 0), text(1), text(2),
                           withPrice ? std::optional<double>(sqlite3_column_double(query.get(), 3))
                                     : std::nullopt});
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
}

void SqlitePriceListRebuild::createParts()
{
    onNewFile([&] {
        m_target->exec(Schema::createPriceStatement());
        m_parts = std::make_unique<BulkInsert>(m_target->getHandle(), Tables::kPriceTable,
                                               Tables::kPriceColumns.size());
    });
}

void SqlitePriceListRebuild::appendParts(const FieldValue* values, size_t count)
{
    // The rows of the new table are numbered from 1 as they go in.
    onNewFile([&] { m_parts->insert(values, count); });
}

void SqlitePriceListRebuild::storeChanges(const std::vector<Change>& changes,
                                          const std::vector<qint64>& removed)
{
    onNewFile([&] {
        SQLite::Database& db = *m_target;
        db.exec(Schema::kCreatePriceChanges);
        ChangeRows rows(db);
        for (const Change& change : changes)
            rows.add(change.part, change.kind, priceValue(change.oldPrice));
        // The removed parts keep their texts under negative ids.
        SQLite::Statement replaced(
            db, "SELECT PRICE, GROUPCODE, PARTNUMBER, PARTNAME FROM source.PRICE WHERE rowid = ?");
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
    onNewFile([&] {
        m_target->exec(Schema::kCreatePriceShortPartNumberIndex);
        m_target->exec(Schema::kCreatePriceCrossNumberIndex);
    });
}

void SqlitePriceListRebuild::indexNames()
{
    onNewFile([&] { SqliteNameIndex::build(*m_target, m_listener); });
}

void SqlitePriceListRebuild::createGroups()
{
    onNewFile([&] {
        m_target->exec(Schema::createGroupsStatement());
        m_groups = std::make_unique<BulkInsert>(m_target->getHandle(), Tables::kGroupsTable,
                                                Tables::kGroupsColumns.size());
    });
}

void SqlitePriceListRebuild::appendGroups(const FieldValue* values, size_t count)
{
    onNewFile([&] { m_groups->insert(values, count); });
}

std::optional<std::vector<QString>> SqlitePriceListRebuild::groupCodes()
{
    return onNewFile([&]() -> std::optional<std::vector<QString>> {
        if (!m_target->tableExists(Tables::kGroupsTable))
            return std::nullopt;
        std::vector<QString> codes;
        SQLite::Statement existing(*m_target, "SELECT GROUPCODE FROM GROUPS");
        while (existing.executeStep())
            codes.push_back(QString::fromUtf8(existing.getColumn(0).getText()));
        return codes;
    });
}

void SqlitePriceListRebuild::addGroup(const QString& code, const QString& name)
{
    onNewFile([&] {
        SQLite::Statement insert(*m_target,
                                 "INSERT INTO GROUPS (GROUPCODE, GROUPNAME, DISCOUNT) VALUES (?, ?, 0)");
        insert.bind(1, code.toStdString());
        insert.bind(2, name.toStdString());
        insert.exec();
    });
}

void SqlitePriceListRebuild::stampPriceDate(const QDate& date)
{
    onNewFile([&] { SqliteSettingsStorage::writePriceDate(*m_target, date); });
}

void SqlitePriceListRebuild::commit()
{
    onNewFile([&] {
        m_copy->copyOtherObjects();
        m_target->exec("COMMIT");
        m_copy->detach();
    });
    m_groups.reset();
    m_parts.reset();
    m_copy.reset();
    m_target.reset();
    m_live->replaceWith(m_temporaryFileName, m_listener.progress);
}
