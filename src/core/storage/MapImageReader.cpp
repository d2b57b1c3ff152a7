#include "MapImageReader.h"

#include <cstring>

MapImageReader::MapImageReader(std::function<std::optional<std::string_view>()> nextPiece)
    : m_nextPiece(std::move(nextPiece))
{}

bool MapImageReader::fill()
{
    while (m_piece.empty() && !m_ended) {
        const std::optional<std::string_view> piece = m_nextPiece();
        m_ended = !piece;
        if (piece)
            m_piece = *piece;
    }
    return !m_piece.empty();
}

template <typename Sink> bool MapImageReader::take(size_t count, Sink sink)
{
    while (count > 0) {
        if (!fill())
            return false;
        const std::string_view taken = m_piece.substr(0, count);
        sink(taken);
        m_piece.remove_prefix(taken.size());
        count -= taken.size();
    }
    return true;
}

bool MapImageReader::read(void* into, size_t count)
{
    char* to = static_cast<char*>(into);
    return take(count, [&to](std::string_view bytes) {
        std::memcpy(to, bytes.data(), bytes.size());
        to += bytes.size();
    });
}

bool MapImageReader::readNumber(uint64_t& number)
{
    number = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        uint8_t byte = 0;
        if (!read(&byte, 1))
            return false;
        number |= uint64_t(byte & 0x7f) << shift;
        if (byte < 0x80)
            return true;
    }
    return false;
}

bool MapImageReader::append(std::string& into, size_t count)
{
    return take(count, [&into](std::string_view bytes) { into += bytes; });
}

bool MapImageReader::atEnd()
{
    return !fill();
}
