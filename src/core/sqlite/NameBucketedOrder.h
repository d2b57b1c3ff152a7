#pragma once

#include "core/sqlite/NameTextIds.h"

#include <QtGlobal>

#include <string_view>
#include <vector>

class NameIndexWriter;

namespace SQLite {
class Database;
}

// Orders the parts of a list of few different names: each name's place
// among the keys is worked out once, and the parts, bucketed by ranges of
// places, are sorted a bucket at a time.
class NameBucketedOrder
{
public:
    // Reads the different names of PRICE (of prefix) and the parts of each;
    // false as soon as there are more than kept of them.
    bool read(SQLite::Database& database, std::string_view prefix, size_t kept);
    // The parts read.
    qint64 count() const { return m_count; }
    // Gives writer every part in the order of names, sorting about
    // bucketParts of them at once.
    void write(SQLite::Database& database, std::string_view prefix, qint64 bucketParts,
               NameIndexWriter& writer);

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
    // Sorts a bucket's entries, whose texts are in records.
    static void sortBucket(std::vector<Entry>& entries, std::string_view records);

    NameTextIds m_names{1024};
    std::vector<quint32> m_parts; // by id in m_names
    qint64 m_count = 0;
};
