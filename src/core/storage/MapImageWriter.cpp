#include "MapImageWriter.h"

#include "core/storage/Varint.h"

#include <algorithm>

MapImageWriter::MapImageWriter(size_t pieceBytes, std::function<void(std::string_view piece)> put)
    : m_pieceBytes(pieceBytes), m_put(std::move(put))
{
    m_piece.reserve(m_pieceBytes);
}

void MapImageWriter::write(const void* bytes, size_t count)
{
    const char* from = static_cast<const char*>(bytes);
    while (count > 0) {
        const size_t taken = std::min(count, m_pieceBytes - m_piece.size());
        m_piece.append(from, taken);
        from += taken;
        count -= taken;
        if (m_piece.size() == m_pieceBytes) {
            m_put(m_piece);
            m_piece.clear();
        }
    }
}

void MapImageWriter::writeNumber(uint64_t number)
{
    std::string bytes;
    Varint::append(bytes, number);
    write(bytes.data(), bytes.size());
}

void MapImageWriter::finish()
{
    if (!m_piece.empty())
        m_put(m_piece);
    m_piece.clear();
}
