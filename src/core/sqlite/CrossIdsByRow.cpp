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
    // The last slot stands for every row without a cross number.
    if (m_dense)
        m_ids.assign(size_t(distance(firstRow, lastRow) + 2), kNone);
}

void CrossIdsByRow::set(int64_t row, int32_t id)
{
    if (m_dense)
        m_ids[size_t(distance(m_firstRow, row))] = id;
    else
        m_rows.emplace_back(row, id);
}

void CrossIdsByRow::finish()
{
    if (m_dense)
        return;
    std::sort(m_rows.begin(), m_rows.end());
    m_ids.reserve(m_rows.size() + 1);
    for (const auto& row : m_rows)
        m_ids.push_back(row.second);
    m_ids.push_back(kNone);
}

uint32_t CrossIdsByRow::slotOf(int64_t row) const
{
    const uint32_t none = uint32_t(m_ids.size() - 1);
    if (m_dense)
        return row >= m_firstRow && distance(m_firstRow, row) < none ? uint32_t(distance(m_firstRow, row))
                                                                     : none;
    const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), std::make_pair(row, INT32_MIN));
    return found != m_rows.end() && found->first == row ? uint32_t(found - m_rows.begin()) : none;
}

std::vector<int32_t> CrossIdsByRow::takeIdsBySlot(const std::vector<int32_t>& renumbering)
{
    for (int32_t& id : m_ids)
        if (id != kNone)
            id = renumbering[size_t(id)];
    m_rows.clear();
    m_rows.shrink_to_fit();
    return std::move(m_ids);
}
