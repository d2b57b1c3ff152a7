#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The cross id of each part by its rowid, so that the parts read in the
// order of one index can be joined with those read in the order of another:
// each part read first takes a slot, which its entry holds until every
// cross id is known. Rowids packed closely, as the update writes them, give
// their slots themselves; others are matched by a sort. The rows may take
// their slots on one thread while their ids are set on another.
class CrossIdsByRow
{
public:
    static constexpr int32_t kNone = -1;

    // Rows from firstRow to lastRow may come.
    CrossIdsByRow(int64_t firstRow, int64_t lastRow);

    uint32_t slotOf(int64_t row);
    void set(int64_t row, int32_t id);
    // The cross id of each slot, kNone for a row without one, each id
    // replaced by renumbering[id].
    std::vector<int32_t> takeIdsBySlot(const std::vector<int32_t>& renumbering);

private:
    int64_t m_firstRow;
    bool m_dense;
    std::vector<int32_t> m_ids;
    // Where the rows are not dense: the row of each slot, and the id of each row set.
    std::vector<int64_t> m_slotRows;
    std::vector<std::pair<int64_t, int32_t>> m_rows;
};
