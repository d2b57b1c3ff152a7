#pragma once

#include "core/db/PriceChange.h"

#include <QtGlobal>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace SQLite {
class Database;
}

// Finds what changed between the replaced price list and the new one and
// writes it into PRICE_CHANGES. A part is the same part when its
// PARTNUMBER, as printed, is equal ignoring case (simple case folding);
// where a number occurs more than once in either list, GROUPCODE (ignoring
// case) decides as well, and pairs that stay ambiguous are left out.
// Each list is held as folded keys packed into one buffer, sorted by their
// hash: a million parts take some 35 MB a side, and no string is compared
// outside a run of equal hashes.
class PriceListComparison
{
public:
    struct Counts
    {
        bool compared = false; // false: the replaced list was empty
        qint64 added = 0;
        qint64 removed = 0;
        qint64 up = 0;
        qint64 down = 0;
    };

    // Reads the replaced list from PRICE of the attached database schema;
    // first, so that after a first update the new list is only counted.
    void readOld(SQLite::Database& db, const std::string& schema);
    // The new list's part in its PRICE row rowId.
    void addNew(qint64 rowId, std::string_view partNumber, std::string_view groupCode,
                std::optional<double> price);
    // Creates PRICE_CHANGES in db's main database and fills it; schema is
    // where the replaced list is, for the removed parts' texts.
    Counts store(SQLite::Database& db, const std::string& schema);

private:
    struct Part
    {
        quint64 hash; // of the folded number
        quint32 offset;
        quint16 numberLength;
        quint16 groupLength;
        qint64 rowId;
        double price; // NaN: none
    };
    struct Change
    {
        qint64 rowId;
        PriceChange::Kind kind;
        double oldPrice;
    };

    class List
    {
    public:
        void add(qint64 rowId, std::string_view partNumber, std::string_view groupCode,
                 std::optional<double> price);
        void sort();
        std::string_view number(const Part& part) const;
        std::string_view group(const Part& part) const;
        // Orders parts by number, then by group.
        bool numberLess(const Part& a, const List& other, const Part& b) const;

        std::vector<Part> parts;

    private:
        std::string m_keys; // folded numbers and groups, back to back
    };

    using Range = std::pair<const Part*, const Part*>;
    void match(Range before, Range after);
    void pair(const Part& before, const Part& after);

    List m_old;
    List m_new;
    std::vector<Change> m_changes;
    std::vector<qint64> m_removed; // rowids in the replaced list
    qint64 m_newCount = 0;
    Counts m_counts;
};
