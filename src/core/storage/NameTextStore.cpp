#include "NameTextStore.h"

#include <algorithm>

std::string_view NameTextStore::keep(std::string_view text)
{
    if (m_blocks.empty() || m_used + text.size() > m_size) {
        m_size = std::max(kBlockSize, text.size());
        m_blocks.push_back(std::make_unique<char[]>(m_size));
        m_used = 0;
    }
    char* at = m_blocks.back().get() + m_used;
    std::copy(text.begin(), text.end(), at);
    m_used += text.size();
    return std::string_view(at, text.size());
}
