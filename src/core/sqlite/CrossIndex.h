#pragma once

#include "core/storage/CrossMap.h"
#include "core/storage/PrefixIndex.h"

#include <QStringList>

#include <SQLiteCpp/Database.h>

#include <cstdint>
#include <vector>

// The cross number of every part by its short number, read once, so a
// search reads nothing from the file. Whoever owns
// the connection owns its index and hands both to each search; the index is
// read again whenever PRICE may have changed, or the connection is new.
class CrossIndex
{
public:
    // Brings the index up to date with what the connection sees now; call it
    // inside the read transaction that the lookups use, so another program's
    // commit cannot slip in between.
    void refresh(SQLite::Database& db);

    // The cross numbers of the parts whose SHORTPARTNUMBER begins with
    // searchNr ignoring case, as CrossMap::crossesOf gives them.
    QStringList crossesOf(const QString& searchNr);

    // Bytes held, for the memory budget.
    size_t memoryBytes() const
    {
        return sizeof(m_version) + m_map.memoryBytes() + m_shortNumbers.memoryBytes();
    }

private:
    // What tells that PRICE may have changed: this connection's own writes
    // to PRICE (writes to other tables, such as the settings, do not count),
    // commits by other connections, and schema changes (a table rebuilt by
    // CREATE TABLE ... AS SELECT and renamed counts no written row).
    struct Version
    {
        int64_t priceWrites = -1; // -1: the connection has no counter yet, so it is new
        int64_t dataVersion = -1;
        int64_t schemaVersion = -1;
        bool operator==(const Version& other) const;
    };

    static Version versionOf(SQLite::Database& db);
    static void countPriceWrites(SQLite::Database& db);
    void build(SQLite::Database& db);

    Version m_version;
    CrossMap m_map;
    // The cross id of every part with a cross number, by its folded short number.
    PrefixIndex m_shortNumbers;
};
