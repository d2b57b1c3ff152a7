#include "CrossIdsByRow.h"

#include <algorithm>

namespace {

// Rowids spread wider than this, which only another program's writes can
// make, would take more room as an array than as pairs.
constexpr uint64_t kLargestDenseSpan = uint64_t(1) << 25;

// The distance from first to row, without overflow for any two rowids.
uint64_t distance(int64_t first, int64_t row)
{
    return uint64_t(row) - uint64_t(first);
}

} // namespace

CrossIdsByRow::CrossIdsByRow(int64_t firstRow, int64_t lastRow)
    : m_firstRow(firstRow), m_dense(lastRow >= firstRow && distance(firstRow, lastRow) < kLargestDenseSpan)
{
    // The last slot stands for any row outside the range.
    if (m_dense)
        m_ids.assign(size_t(distance(firstRow, lastRow) + 2), kNone);
}

uint32_t CrossIdsByRow::slotOf(int64_t row)
{
    if (!m_dense) {
        m_slotRows.push_back(row);
        return uint32_t(m_slotRows.size() - 1);
    }
    const uint64_t slot = row >= m_firstRow ? distance(m_firstRow, row) : m_ids.size() - 1;
    return uint32_t(std::min<uint64_t>(slot, m_ids.size() - 1));
}

void CrossIdsByRow::set(int64_t row, int32_t id)
{
    if (!m_dense)
        m_rows.emplace_back(row, id);
    else if (row >= m_firstRow && distance(m_firstRow, row) < m_ids.size() - 1)
        m_ids[size_t(distance(m_firstRow, row))] = id;
}

std::vector<int32_t> CrossIdsByRow::takeIdsBySlot(const std::vector<int32_t>& renumbering)
{
    if (!m_dense) {
        std::sort(m_rows.begin(), m_rows.end());
        m_ids.reserve(m_slotRows.size());
        for (const int64_t row : m_slotRows) {
            const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), std::make_pair(row, INT32_MIN));
            m_ids.push_back(found != m_rows.end() && found->first == row ? found->second : kNone);
        }
        m_slotRows = {};
        m_rows = {};
    }
    for (int32_t& id : m_ids)
        if (id != kNone)
            id = renumbering[size_t(id)];
    return std::move(m_ids);
}
