#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A map's bytes read back as MapImageWriter wrote them, a piece at a time.
// The bytes come from outside the program, so every read says whether
// they were there: a map that runs short is not used.
class MapImageReader
{
public:
    // nextPiece() gives the next piece, valid until it is called again, or
    // nothing after the last.
    explicit MapImageReader(std::function<std::optional<std::string_view>()> nextPiece);

    bool read(void* into, size_t count);
    bool readNumber(uint64_t& number);
    // Appends count bytes to into, growing it only as they come, so that
    // a count too large for the image fails before it costs the memory.
    bool append(std::string& into, size_t count);
    // Whether every byte has been read.
    bool atEnd();

private:
    bool fill();
    // Hands sink the next count bytes, a piece's worth at a time.
    template <typename Sink> bool take(size_t count, Sink sink);

    std::function<std::optional<std::string_view>()> m_nextPiece;
    std::string_view m_piece;
    bool m_ended = false;
};
