#pragma once

#include <QTemporaryFile>
#include <QtGlobal>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Records kept apart in buckets, to be read back one bucket at a time. Kept
// in memory, or, when told to spill, written out in chunks to a temporary
// file that no other program sees and that goes away with the process, even
// a killed one. A chunk holds whole records, so a reader never sees one cut.
class BucketSpill
{
public:
    // chunkBytes: how much a bucket gathers before it is written out.
    BucketSpill(size_t buckets, bool spill, size_t chunkBytes);
    BucketSpill(const BucketSpill&) = delete;
    BucketSpill& operator=(const BucketSpill&) = delete;

    size_t buckets() const { return m_buckets.size(); }
    void append(size_t bucket, std::string_view record);
    qint64 records(size_t bucket) const { return m_buckets[bucket].records; }
    qint64 bytes(size_t bucket) const { return m_buckets[bucket].bytes; }
    // The bucket's records in the order appended, a chunk at a time; the
    // bucket's memory is given back.
    void read(size_t bucket, const std::function<void(std::string_view chunk)>& visit);
    qint64 spilledBytes() const { return m_spilled; }

private:
    struct Chunk
    {
        qint64 offset;
        qint64 size;
    };
    struct Bucket
    {
        std::string pending;
        std::vector<Chunk> chunks;
        qint64 records = 0;
        qint64 bytes = 0;
    };

    void write(Bucket& bucket);
    [[noreturn]] void fail() const;

    std::vector<Bucket> m_buckets;
    bool m_spill;
    size_t m_chunkBytes;
    QTemporaryFile m_file;
    qint64 m_spilled = 0;
};
