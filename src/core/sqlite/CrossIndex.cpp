#include "CrossIndex.h"

#include "core/sqlite/UnmappedReads.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <string_view>

namespace {

// In the table's order; the client sorts the short numbers itself.
constexpr char kPartsWithCross[] = "SELECT SHORTPARTNUMBER, CROSSNUMBER FROM PRICE WHERE CROSSNUMBER > ''";

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
    m_shortNumbers = PrefixIndex();
    const auto text = [](const SQLite::Column& column) {
        return std::string_view(column.getText(), size_t(column.getBytes()));
    };
    // The whole table is read once, through the connection's small cache:
    // pages read through the map of the file would stay in the client's
    // resident memory.
    const UnmappedReads unmapped(db);
    SQLite::Statement query(db, kPartsWithCross);
    while (query.executeStep())
        m_shortNumbers.add(uint32_t(m_map.addCross(text(query.getColumn(1)))),
                           PrefixIndex::folded(text(query.getColumn(0))));
    query.reset();
    // One sort after the other, so that only one holds its room at a time.
    m_shortNumbers.finish();
    PrefixIndex::releaseFreedMemory();
    m_map.finish();
    m_shortNumbers.renumber(m_map.takeRenumbering());
    PrefixIndex::releaseFreedMemory();
}

QStringList CrossIndex::crossesOf(const QString& searchNr)
{
    const std::string prefix = PrefixIndex::folded(searchNr.toStdString());
    m_shortNumbers.valuesOf(
        m_shortNumbers.rangeOf(prefix),
        [this](const uint32_t* first, const uint32_t* last) { m_map.markIds(first, last); });
    return m_map.takeMarked();
}
