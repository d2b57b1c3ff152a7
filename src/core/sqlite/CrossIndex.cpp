#include "CrossIndex.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <string_view>

namespace {

// In cross-number order, so equal cross numbers arrive together and are
// stored once without a hash; it reads only the index on CROSSNUMBER.
constexpr char kCrossNumbers[] =
    "SELECT rowid, CROSSNUMBER FROM PRICE WHERE CROSSNUMBER > '' ORDER BY CROSSNUMBER";
// Read from the end of the table's b-tree, without a scan.
constexpr char kLargestRowId[] = "SELECT max(rowid) FROM PRICE";

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
    m_map.expectRowIds(db.execAndGet(kLargestRowId).getInt64());
    SQLite::Statement query(db, kCrossNumbers);
    while (query.executeStep()) {
        const SQLite::Column column = query.getColumn(1);
        m_map.add(query.getColumn(0).getInt64(),
                  std::string_view(column.getText(), size_t(column.getBytes())));
    }
    m_map.finish();
}
