#include "NamePartBuckets.h"

using RawSql::insertRow;
using RawSql::prepare;
using RawSql::Prepared;

namespace {

constexpr char kDropPartChunks[] = "DROP TABLE IF EXISTS temp.NAME_PART_CHUNKS";
constexpr char kCreatePartChunks[] =
    "CREATE TEMP TABLE NAME_PART_CHUNKS (ID INTEGER PRIMARY KEY, PARTS BLOB NOT NULL)";
constexpr char kInsertPartChunk[] = "INSERT INTO temp.NAME_PART_CHUNKS (ID, PARTS) VALUES (?, ?)";
constexpr char kSelectPartChunks[] =
    "SELECT PARTS FROM temp.NAME_PART_CHUNKS WHERE ID >= ? AND ID < ? ORDER BY ID";

} // namespace

NamePartBuckets::~NamePartBuckets()
{
    if (m_insert)
        sqlite3_exec(m_database.getHandle(), kDropPartChunks, nullptr, nullptr, nullptr);
}

std::string NamePartBuckets::take(size_t bucket)
{
    std::string records;
    if (m_chunks[bucket] > 0) {
        const Prepared chunks = prepare(m_database.getHandle(), kSelectPartChunks);
        sqlite3_bind_int64(chunks.get(), 1, qint64(bucket) << 32);
        sqlite3_bind_int64(chunks.get(), 2, qint64(bucket + 1) << 32);
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(chunks.get())) == SQLITE_ROW)
            records.append(static_cast<const char*>(sqlite3_column_blob(chunks.get(), 0)),
                           size_t(sqlite3_column_bytes(chunks.get(), 0)));
        if (result != SQLITE_DONE)
            throw SQLite::Exception(m_database.getHandle(), result);
    }
    records += m_pending[bucket];
    m_pending[bucket] = std::string();
    return records;
}

void NamePartBuckets::write(size_t bucket)
{
    if (!m_insert) {
        m_database.exec(kDropPartChunks);
        m_database.exec(kCreatePartChunks);
        m_insert = prepare(m_database.getHandle(), kInsertPartChunk);
    }
    sqlite3_bind_int64(m_insert.get(), 1, (qint64(bucket) << 32) + m_chunks[bucket]++);
    sqlite3_bind_blob(m_insert.get(), 2, m_pending[bucket].data(), int(m_pending[bucket].size()),
                      SQLITE_STATIC);
    insertRow(m_database.getHandle(), m_insert.get());
    m_pending[bucket].clear();
}
