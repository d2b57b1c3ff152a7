#pragma once

#include "core/sqlite/RawSql.h"

#include <QtGlobal>

#include <SQLiteCpp/Database.h>

#include <string>
#include <string_view>
#include <vector>

// Records of parts kept apart in buckets, in chunks in a temporary table
// once a bucket's chunk is full, to be read back a bucket at a time.
class NamePartBuckets
{
public:
    NamePartBuckets(SQLite::Database& database, size_t buckets)
        : m_database(database), m_pending(buckets), m_chunks(buckets)
    {}
    ~NamePartBuckets();
    NamePartBuckets(const NamePartBuckets&) = delete;
    NamePartBuckets& operator=(const NamePartBuckets&) = delete;

    // Inline: called for every part.
    void append(size_t bucket, std::string_view record)
    {
        std::string& pending = m_pending[bucket];
        pending += record;
        if (pending.size() >= kChunkBytes)
            write(bucket);
    }
    // Every record of bucket, in the order appended; the bucket is emptied.
    std::string take(size_t bucket);

private:
    static constexpr size_t kChunkBytes = size_t(1) << 18;

    void write(size_t bucket);

    SQLite::Database& m_database;
    std::vector<std::string> m_pending;
    std::vector<qint64> m_chunks; // how many each bucket has in the table
    RawSql::Prepared m_insert{nullptr, &sqlite3_finalize};
};
