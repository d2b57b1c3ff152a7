#include "SharedStrings.h"

#include <algorithm>

SharedStrings::~SharedStrings()
{
    release();
}

std::optional<QString> SharedStrings::fromAscii(std::string_view text)
{
    // A QString's text is followed by a zero, which utf16() hands out.
    const qsizetype units = qsizetype(text.size()) + 1;
    if (m_left < units)
        startBlock(std::max(units, kBlockUnits));
    char16_t* const start = m_next;
    char16_t* at = start;
    for (const char ch : text) {
        if (uint8_t(ch) >= 0x80)
            return std::nullopt;
        *at++ = char16_t(ch);
    }
    *at++ = u'\0';
    m_next = at;
    m_left -= units;
    m_block->ref();
    return QString(QStringPrivate(m_block, start, qsizetype(text.size())));
}

void SharedStrings::startBlock(qsizetype units)
{
    release();
    const auto [block, data] = QTypedArrayData<char16_t>::allocate(units);
    Q_CHECK_PTR(block);
    m_block = block;
    m_next = data;
    m_left = units;
}

void SharedStrings::release()
{
    if (m_block && !m_block->deref())
        QTypedArrayData<char16_t>::deallocate(m_block);
    m_block = nullptr;
    m_left = 0;
}
