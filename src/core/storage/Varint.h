#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Whole numbers in as few bytes as they need: 7-bit groups, lowest first,
// the high bit set in all but the last. The maps and the name index keep
// their numbers so.
namespace Varint {

inline void append(std::string& out, uint64_t number)
{
    while (number >= 0x80) {
        out += char(uint8_t(number) | 0x80);
        number >>= 7;
    }
    out += char(number);
}

// The number at in, which this program wrote; in moves past it.
inline uint64_t read(const char*& in)
{
    uint64_t number = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t byte = uint8_t(*in++);
        number |= uint64_t(byte & 0x7f) << shift;
        if (byte < 0x80)
            return number;
    }
}

// The same for bytes from outside: false when the number runs past end or
// past 64 bits.
inline bool readWithin(const char*& in, const char* end, uint64_t& number)
{
    number = 0;
    for (int shift = 0; shift < 64 && in < end; shift += 7) {
        const uint8_t byte = uint8_t(*in++);
        number |= uint64_t(byte & 0x7f) << shift;
        if (byte < 0x80)
            return true;
    }
    return false;
}

} // namespace Varint
