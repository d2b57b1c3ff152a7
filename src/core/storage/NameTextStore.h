#pragma once

#include <memory>
#include <string_view>
#include <vector>

// Texts kept where they are written until the whole is dropped, in blocks,
// so that views of them stay valid and a million of them cost no million
// allocations.
class NameTextStore
{
public:
    std::string_view keep(std::string_view text);

private:
    static constexpr size_t kBlockSize = size_t(1) << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    size_t m_size = 0;
};
