#include "MapImageReader.h"

#include <algorithm>
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

bool MapImageReader::read(void* into, size_t count)
{
    char* to = static_cast<char*>(into);
    while (count > 0) {
        if (!fill())
            return false;
        const size_t taken = std::min(count, m_piece.size());
        std::memcpy(to, m_piece.data(), taken);
        m_piece.remove_prefix(taken);
        to += taken;
        count -= taken;
    }
    return true;
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
    while (count > 0) {
        if (!fill())
            return false;
        const size_t taken = std::min(count, m_piece.size());
        into.append(m_piece.data(), taken);
        m_piece.remove_prefix(taken);
        count -= taken;
    }
    return true;
}

bool MapImageReader::atEnd()
{
    return !fill();
}
