#pragma once

#include "core/sqlite/NamePartBuckets.h"
#include "core/storage/NameTextIds.h"

#include <QtGlobal>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class NameIndexWriter;

namespace SQLite {
class Database;
}

// Orders the parts of a list of few different names: the parts are read
// from PRICE once and kept aside, each name's place among the keys is worked
// out once, and the parts, bucketed by ranges of places, are sorted a bucket
// at a time.
class NameBucketedOrder
{
public:
    // keptNames: the most different names it orders; keptBytes: how much of
    // the parts it keeps in memory, the rest in temporary tables.
    NameBucketedOrder(SQLite::Database& database, size_t keptNames, size_t keptBytes);
    ~NameBucketedOrder();
    NameBucketedOrder(const NameBucketedOrder&) = delete;
    NameBucketedOrder& operator=(const NameBucketedOrder&) = delete;

    // Reads the parts of PRICE (of prefix); stops, and lets go of all, once
    // the list has more different names than kept.
    void read(std::string_view prefix);
    // Whether every part is kept: there were not too many names.
    bool complete() const { return m_partsRead != nullptr; }
    // The parts read.
    qint64 count() const { return m_count; }
    // Gives writer every part in the order of names, sorting about
    // bucketParts of them at once.
    void write(qint64 bucketParts, NameIndexWriter& writer);

private:
    // A part as the index orders it: by its name's place among the names
    // folded, then by PARTNUMBER and GROUPCODE in UTF-8, each ended by a zero
    // byte, then by the file's order.
    struct Entry
    {
        quint32 place = 0; // equal for names equal when folded
        quint32 name = 0;
        qint64 part = 0;
        // The first eight bytes of PARTNUMBER and GROUPCODE as one number,
        // so that most comparisons read no text.
        quint64 head = 0;
        quint32 numberAndGroup = 0; // in the bucket's records
        quint32 length = 0;
    };
    // A part's record: its name's id, its rowid, the length of its texts, then
    // PARTNUMBER, a zero byte and GROUPCODE.
    static constexpr size_t kRecordHead = 16;

    // Keeps a part; NULLs as empty texts.
    void add(qint64 part, std::string_view name, std::string_view number, std::string_view group);
    // Sorts a bucket's entries, whose texts are in records.
    static void sortBucket(std::vector<Entry>& entries, std::string_view records);

    SQLite::Database& m_database;
    size_t m_keptNames;
    size_t m_keptBytes;
    NameTextIds m_names{1024};
    std::vector<quint32> m_parts;                 // by id in m_names
    std::unique_ptr<NamePartBuckets> m_partsRead; // one bucket: the parts read
    std::string m_record;
    qint64 m_count = 0;
};
