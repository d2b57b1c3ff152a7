#pragma once

#include <QtGlobal>

#include <string>
#include <string_view>

// The numbers PART_NAME_WORDS and PART_NAME_ORDER keep, as Varint writes
// them.
namespace NameIndexCoding {

// Throws the error that tells the clerk to update the list.
[[noreturn]] void damaged();

// Calls take with each number of encoded, in 7-bit groups.
template <typename Take> void decode(const void* data, int size, Take&& take)
{
    const auto* encoded = static_cast<const unsigned char*>(data);
    quint64 value = 0;
    int shift = 0;
    for (int i = 0; i < size; ++i) {
        // Rowids take 63 bits at most: nine groups.
        if (shift > 56)
            damaged();
        value |= quint64(encoded[i] & 0x7F) << shift;
        shift += 7;
        if (encoded[i] & 0x80)
            continue;
        take(value);
        value = 0;
        shift = 0;
    }
}

// The first number of encoded; used: how many bytes it takes.
quint64 firstNumber(std::string_view encoded, size_t& used);

} // namespace NameIndexCoding
