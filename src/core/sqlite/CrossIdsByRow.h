#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The cross id of each part by its rowid, so that the parts read in the
// order of one index can be joined with those read in the order of another:
// each row has a slot, which a part's entry holds until every cross id is
// known. Rowids packed closely, as the update writes them, are their own
// slots; others are found by halving.
class CrossIdsByRow
{
public:
    static constexpr int32_t kNone = -1;

    // Rows from firstRow to lastRow may be set.
    CrossIdsByRow(int64_t firstRow, int64_t lastRow);

    void set(int64_t row, int32_t id);
    // Call once every row is set, before the first slotOf().
    void finish();
    uint32_t slotOf(int64_t row) const;
    // The cross id of each slot, kNone for a row without one; each id
    // replaced by renumbering[id].
    std::vector<int32_t> takeIdsBySlot(const std::vector<int32_t>& renumbering);

private:
    int64_t m_firstRow;
    bool m_dense;
    std::vector<int32_t> m_ids;
    std::vector<std::pair<int64_t, int32_t>> m_rows;
};
