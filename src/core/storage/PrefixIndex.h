#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Row ids by a key, for finding every row whose key begins with a given
// text: the keys are sorted once in code-point order, so the rows of a
// prefix lie side by side and a lookup reads nothing else.
class PrefixIndex
{
public:
    void add(int64_t rowId, std::string_view key);
    void finish();

    // The row ids of the keys that begin with prefix (UTF-8), in key order.
    std::vector<int64_t> rowIdsOf(std::string_view prefix) const;

private:
    std::string_view key(size_t i) const;

    // Keys as UTF-8 back to back; entry i spans m_text[m_start[i], m_start[i + 1]).
    std::string m_text;
    std::vector<uint32_t> m_start;
    std::vector<int64_t> m_rowIds;
};
