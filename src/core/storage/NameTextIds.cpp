#include "NameTextIds.h"

void NameTextIds::grow(size_t count)
{
    size_t size = 16;
    while (size < count * 2)
        size *= 2;
    std::vector<Slot> table(size);
    m_mask = size - 1;
    for (const Slot& kept : m_slots) {
        if (kept.id == kEmpty)
            continue;
        size_t slot = kept.hash & m_mask;
        while (table[slot].id != kEmpty)
            slot = (slot + 1) & m_mask;
        table[slot] = kept;
    }
    m_slots = std::move(table);
}
