#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A map's bytes written out a piece at a time, so that a map of millions of
// parts is never held twice: each full piece goes to put() as it is made.
class MapImageWriter
{
public:
    MapImageWriter(size_t pieceBytes, std::function<void(std::string_view piece)> put);

    void write(const void* bytes, size_t count);
    // A whole number in as few bytes as it needs.
    void writeNumber(uint64_t number);
    // Puts the last piece, however short.
    void finish();

private:
    size_t m_pieceBytes;
    std::function<void(std::string_view)> m_put;
    std::string m_piece;
};
