#pragma once

#include <QString>
#include <QStringList>

#include <SQLiteCpp/Database.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The cross number of every part by PRICE rowid, read once, so a search
// reads only the index on SHORTPARTNUMBER and never the table. Whoever owns
// the connection owns its index and hands both to each search; the index is
// read again whenever PRICE may have changed, or the connection is new.
class CrossIndex
{
public:
    // Brings the index up to date with what the connection sees now; call it
    // inside the read transaction that the lookups use, so another program's
    // commit cannot slip in between.
    void refresh(SQLite::Database& db);

    // The cross numbers of the given parts, one per cross number however its
    // parts spell it (the spelling kept is the first in binary order, so the
    // list does not depend on the order of the parts), ascending ignoring
    // case; parts without a cross number are passed over.
    QStringList crossesOf(const std::vector<int64_t>& rowIds);

    // Bytes held, for the memory budget.
    size_t memoryBytes() const;

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
    // Renumbers the cross ids read in binary order into the order of the
    // search results and groups the spellings of each cross number.
    void sortCrosses(std::vector<std::pair<int64_t, int32_t>>& parts);
    void indexParts(std::vector<std::pair<int64_t, int32_t>>& parts);
    int32_t crossOf(int64_t rowId) const;
    QString crossText(int32_t cross) const;

    static constexpr int32_t kNoCross = -1;

    Version m_version;
    // Cross numbers as UTF-8, each distinct one stored once: id i spans
    // m_crossText[m_crossStart[i], m_crossStart[i + 1]). Ids ascend ignoring
    // case, then in binary order, so the spellings of one cross number are
    // neighbours and share m_spellingsOf.
    std::string m_crossText;
    std::vector<uint32_t> m_crossStart;
    std::vector<int32_t> m_spellingsOf;
    // Dense rowids (the usual case) index m_crossByRowId directly; otherwise
    // m_sparseRowIds is sorted and m_sparseCrosses runs parallel to it.
    std::vector<int32_t> m_crossByRowId;
    std::vector<int64_t> m_sparseRowIds;
    std::vector<int32_t> m_sparseCrosses;
    // A bit per cross id, set for the crosses a lookup finds and cleared
    // again as the lookup reads them out.
    std::vector<uint64_t> m_found;
};
