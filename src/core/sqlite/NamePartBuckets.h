#pragma once

#include "core/sqlite/RawSql.h"

#include <QtGlobal>

#include <SQLiteCpp/Database.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Records of parts kept apart in buckets, in chunks: in memory up to a
// bound, past it in a temporary table; read back a bucket at a time.
class NamePartBuckets
{
public:
    // table: the temporary table's name, one per living instance; keptBytes:
    // how much all buckets may hold in memory before chunks go out.
    NamePartBuckets(SQLite::Database& database, std::string table, size_t buckets, size_t keptBytes)
        : m_database(database), m_table("temp." + std::move(table)), m_kept(buckets), m_written(buckets),
          m_keptBytes(keptBytes)
    {}
    ~NamePartBuckets();
    NamePartBuckets(const NamePartBuckets&) = delete;
    NamePartBuckets& operator=(const NamePartBuckets&) = delete;

    // Inline: called for every part.
    void append(size_t bucket, std::string_view record)
    {
        std::vector<std::string>& kept = m_kept[bucket];
        if (kept.empty() || kept.back().size() + record.size() > kChunkBytes)
            newChunk(bucket);
        kept.back() += record;
    }
    // Every record of bucket, a chunk of whole records at a time, in no set
    // order; once for each bucket, which then holds nothing in memory.
    void read(size_t bucket, const std::function<void(std::string_view chunk)>& visit);
    // The same at once.
    std::string take(size_t bucket);

private:
    static constexpr size_t kChunkBytes = size_t(1) << 18;

    // Makes room for the next chunk of bucket, writing out its last one once
    // the bound is reached.
    void newChunk(size_t bucket);

    SQLite::Database& m_database;
    std::string m_table;
    std::vector<std::vector<std::string>> m_kept; // by bucket, the last one being filled
    std::vector<qint64> m_written;                // how many chunks each bucket has in the table
    size_t m_keptBytes;
    size_t m_keptChunks = 0;
    RawSql::Prepared m_insert{nullptr, &sqlite3_finalize};
};
