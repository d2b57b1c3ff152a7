#include "PrefixIndex.h"

#include <algorithm>
#include <utility>

void PrefixIndex::add(int64_t rowId, std::string_view key)
{
    m_start.push_back(uint32_t(m_text.size()));
    m_text.append(key);
    m_rowIds.push_back(rowId);
}

std::string_view PrefixIndex::key(size_t i) const
{
    return std::string_view(m_text).substr(m_start[i], m_start[i + 1] - m_start[i]);
}

void PrefixIndex::finish()
{
    m_start.push_back(uint32_t(m_text.size()));
    const size_t count = m_rowIds.size();
    // Bytes of UTF-8 compare as their code points do. The first eight of
    // each key, as one number, settle most comparisons without reading the
    // keys: the sort takes a third of the time.
    std::vector<std::pair<uint64_t, uint32_t>> order(count);
    for (uint32_t i = 0; i < count; ++i) {
        const std::string_view text = key(i);
        uint64_t head = 0;
        for (size_t byte = 0; byte < 8; ++byte)
            head = (head << 8) | (byte < text.size() ? uint8_t(text[byte]) : 0);
        order[i] = {head, i};
    }
    std::sort(order.begin(), order.end(), [this](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : key(a.second) < key(b.second);
    });

    std::string text;
    text.reserve(m_text.size());
    std::vector<uint32_t> start;
    start.reserve(count + 1);
    std::vector<int64_t> rowIds;
    rowIds.reserve(count);
    for (const auto& [head, i] : order) {
        start.push_back(uint32_t(text.size()));
        text.append(key(i));
        rowIds.push_back(m_rowIds[i]);
    }
    start.push_back(uint32_t(text.size()));
    m_text.swap(text);
    m_start.swap(start);
    m_rowIds.swap(rowIds);
}

std::vector<int64_t> PrefixIndex::rowIdsOf(std::string_view prefix) const
{
    const size_t count = m_rowIds.size();
    size_t low = 0, high = count;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (key(middle) < prefix)
            low = middle + 1;
        else
            high = middle;
    }
    size_t end = low;
    while (end < count && key(end).substr(0, prefix.size()) == prefix)
        ++end;
    return std::vector<int64_t>(m_rowIds.begin() + std::ptrdiff_t(low),
                                m_rowIds.begin() + std::ptrdiff_t(end));
}
