#include "CrossIndex.h"

#include "core/sqlite/CrossIdsByRow.h"
#include "core/sqlite/RawSql.h"
#include "core/sqlite/UnmappedReads.h"
#include "core/storage/FreedMemory.h"
#include "core/storage/PrefixIndexFeed.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QScopeGuard>

#include <exception>
#include <memory>
#include <string_view>
#include <thread>

namespace {

// Both read in the order of their columns' indexes, so that the index is
// built as it is read, with no sort and no look-up of a part's row. Without
// those indexes the results are the same, only slower.
constexpr char kRowRange[] = "SELECT (SELECT min(rowid) FROM PRICE), (SELECT max(rowid) FROM PRICE)";
constexpr char kCrossesInOrder[] =
    "SELECT CROSSNUMBER, rowid FROM PRICE WHERE CROSSNUMBER > '' ORDER BY CROSSNUMBER";
constexpr char kShortNumbersInOrder[] = "SELECT SHORTPARTNUMBER, rowid FROM PRICE ORDER BY SHORTPARTNUMBER";

// This connection's writes to PRICE, counted by temporary triggers: they
// live in the connection itself, see only its own changes, and go with it
// when it closes, so a new connection is told by the counter's absence.
constexpr char kPriceWritesExist[] =
    "SELECT EXISTS (SELECT * FROM temp.sqlite_master WHERE type = 'table' AND name = "
    "'tardesk_price_writes'), "
    "(SELECT data_version FROM pragma_data_version), (SELECT schema_version FROM pragma_schema_version)";
constexpr char kPriceWrites[] = "SELECT n FROM temp.tardesk_price_writes";
// Dropping PRICE drops its triggers; a table replaced by another connection
// keeps them, bound by name.
constexpr char kCountPriceWrites[] =
    "CREATE TEMP TABLE IF NOT EXISTS tardesk_price_writes (n INTEGER NOT NULL);"
    "INSERT INTO temp.tardesk_price_writes SELECT 0 WHERE NOT EXISTS (SELECT * FROM "
    "temp.tardesk_price_writes);"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_inserted AFTER INSERT ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_updated AFTER UPDATE ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_deleted AFTER DELETE ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;";

// Calls take(row) for each row of sql, read straight from the statement: a
// column object per value would cost as much as the rest of the build.
template <typename Take> void forEachRow(SQLite::Database& db, const char* sql, Take take)
{
    // Held once for the whole scan rather than by every call.
    sqlite3_mutex* const connection = sqlite3_db_mutex(db.getHandle());
    sqlite3_mutex_enter(connection);
    const std::unique_ptr<sqlite3_mutex, void (*)(sqlite3_mutex*)> held(connection, sqlite3_mutex_leave);
    const RawSql::Prepared statement = RawSql::prepare(db.getHandle(), sql);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement.get())) == SQLITE_ROW)
        take(statement.get());
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
}

// A second connection that sees the file as db does, to read from at the
// same time, or none. In a rollback journal mode db's open read keeps every
// writer from committing, so a read begun now sees the same file; in WAL
// mode it could see a later commit, and it would not see db's own pending
// writes.
std::unique_ptr<SQLite::Database> sameViewConnection(SQLite::Database& db)
{
    sqlite3* const handle = db.getHandle();
    const char* const file = sqlite3_db_filename(handle, "main");
    if (sqlite3_txn_state(handle, "main") != SQLITE_TXN_READ || !file || !*file ||
        db.execAndGet("PRAGMA journal_mode").getString() == "wal")
        return nullptr;
    try {
        // No waiting: a writer about to commit would keep this read out until
        // db's read ends.
        auto other = std::make_unique<SQLite::Database>(file, SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX);
        other->exec("BEGIN");
        other->execAndGet("SELECT count(*) FROM sqlite_master");
        return other;
    } catch (const SQLite::Exception&) {
        return nullptr;
    }
}

} // namespace

bool CrossIndex::Version::operator==(const Version& other) const
{
    return priceWrites == other.priceWrites && dataVersion == other.dataVersion &&
           schemaVersion == other.schemaVersion;
}

void CrossIndex::refresh(SQLite::Database& db)
{
    const Version now = versionOf(db);
    if (m_version == now)
        return;
    // A build that fails half-way must not pass for current.
    m_version = Version();
    build(db);
    countPriceWrites(db);
    // Changes of a transaction still open may yet be rolled back, which
    // takes the counter back with them: such an index serves one search only.
    if (sqlite3_txn_state(db.getHandle(), "main") != SQLITE_TXN_WRITE)
        m_version = versionOf(db);
}

CrossIndex::Version CrossIndex::versionOf(SQLite::Database& db)
{
    SQLite::Statement query(db, kPriceWritesExist);
    query.executeStep();
    Version version;
    version.dataVersion = query.getColumn(1).getInt64();
    version.schemaVersion = query.getColumn(2).getInt64();
    if (query.getColumn(0).getInt() != 0)
        version.priceWrites = db.execAndGet(kPriceWrites).getInt64();
    return version;
}

void CrossIndex::countPriceWrites(SQLite::Database& db)
{
    db.exec(kCountPriceWrites);
}

void CrossIndex::build(SQLite::Database& db)
{
    m_map.clear();
    m_shortNumbers = PrefixIndex();

    // The indexes are read once, through the connection's small cache:
    // pages read through the map of the file would stay in the client's
    // resident memory.
    const UnmappedReads unmapped(db);
    SQLite::Statement range(db, kRowRange);
    range.executeStep();
    CrossIdsByRow crossOf(range.getColumn(0).getInt64(), range.getColumn(1).getInt64());
    range.reset();

    // Each part's slot first, its cross id once all are read: looked up one
    // part at a time, the ids would be as slow to reach as the file. The
    // short numbers are indexed, and the index finished, on a thread of its
    // own, while the cross numbers are read: at the same time on a second
    // connection where one can see what this one sees, else after them.
    const std::unique_ptr<SQLite::Database> sameView = sameViewConnection(db);
    const auto readCrosses = [this, &crossOf](SQLite::Database& from) {
        forEachRow(from, kCrossesInOrder, [&](sqlite3_stmt* row) {
            crossOf.set(sqlite3_column_int64(row, 1), m_map.addCross(RawSql::text(row, 0)));
        });
        m_map.finish();
    };
    PrefixIndexFeed shortNumbers(m_shortNumbers);
    std::exception_ptr crossesFailed;
    std::thread crossesReader;
    if (sameView)
        crossesReader = std::thread([&] {
            try {
                readCrosses(*sameView);
            } catch (...) {
                crossesFailed = std::current_exception();
            }
        });
    const auto joined = qScopeGuard([&crossesReader] {
        if (crossesReader.joinable())
            crossesReader.join();
    });
    forEachRow(db, kShortNumbersInOrder, [&](sqlite3_stmt* row) {
        shortNumbers.add(crossOf.slotOf(sqlite3_column_int64(row, 1)), RawSql::text(row, 0));
    });
    shortNumbers.finish();
    if (sameView) {
        crossesReader.join();
        if (crossesFailed)
            std::rethrow_exception(crossesFailed);
    } else {
        readCrosses(db);
    }
    shortNumbers.wait();
    m_shortNumbers.renumber(crossOf.takeIdsBySlot(m_map.takeRenumbering()));
    releaseFreedMemory();
}

QStringList CrossIndex::crossesOf(const QString& searchNr)
{
    const std::string prefix = PrefixIndex::folded(searchNr.toStdString());
    m_shortNumbers.valuesOf(
        m_shortNumbers.rangeOf(prefix),
        [this](const uint32_t* first, const uint32_t* last) { m_map.markIds(first, last); });
    return m_map.takeMarked();
}
