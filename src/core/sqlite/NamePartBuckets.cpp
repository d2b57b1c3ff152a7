#include "NamePartBuckets.h"

using RawSql::insertRow;
using RawSql::prepare;
using RawSql::Prepared;

NamePartBuckets::~NamePartBuckets()
{
    if (m_insert)
        sqlite3_exec(m_database.getHandle(), ("DROP TABLE IF EXISTS " + m_table).c_str(), nullptr, nullptr,
                     nullptr);
}

void NamePartBuckets::read(size_t bucket, const std::function<void(std::string_view chunk)>& visit)
{
    // Those in memory first: their room is given back as the caller keeps
    // the records elsewhere.
    std::vector<std::string> kept = std::move(m_kept[bucket]);
    m_kept[bucket] = {};
    m_keptChunks -= kept.size();
    for (std::string& chunk : kept) {
        visit(chunk);
        chunk = std::string();
    }
    if (m_written[bucket] == 0)
        return;
    const Prepared chunks =
        prepare(m_database.getHandle(),
                ("SELECT PARTS FROM " + m_table + " WHERE ID >= ? AND ID < ? ORDER BY ID").c_str());
    sqlite3_bind_int64(chunks.get(), 1, qint64(bucket) << 32);
    sqlite3_bind_int64(chunks.get(), 2, qint64(bucket + 1) << 32);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(chunks.get())) == SQLITE_ROW)
        visit(std::string_view(static_cast<const char*>(sqlite3_column_blob(chunks.get(), 0)),
                               size_t(sqlite3_column_bytes(chunks.get(), 0))));
    if (result != SQLITE_DONE)
        throw SQLite::Exception(m_database.getHandle(), result);
}

std::string NamePartBuckets::take(size_t bucket)
{
    std::string records;
    read(bucket, [&records](std::string_view chunk) { records += chunk; });
    return records;
}

void NamePartBuckets::newChunk(size_t bucket)
{
    std::vector<std::string>& kept = m_kept[bucket];
    if (!kept.empty() && (m_keptChunks + 1) * kChunkBytes > m_keptBytes) {
        if (!m_insert) {
            m_database.exec("DROP TABLE IF EXISTS " + m_table);
            m_database.exec("CREATE TABLE " + m_table + " (ID INTEGER PRIMARY KEY, PARTS BLOB NOT NULL)");
            m_insert = prepare(m_database.getHandle(),
                               ("INSERT INTO " + m_table + " (ID, PARTS) VALUES (?, ?)").c_str());
        }
        std::string& full = kept.back();
        sqlite3_bind_int64(m_insert.get(), 1, (qint64(bucket) << 32) + m_written[bucket]++);
        sqlite3_bind_blob(m_insert.get(), 2, full.data(), int(full.size()), SQLITE_STATIC);
        insertRow(m_database.getHandle(), m_insert.get());
        full.clear();
        return;
    }
    kept.emplace_back().reserve(kChunkBytes);
    ++m_keptChunks;
}
