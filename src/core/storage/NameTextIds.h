#pragma once

#include "core/storage/NameTextStore.h"

#include <QtGlobal>

#include <functional>
#include <string_view>
#include <vector>

// Different texts numbered from 0 in the order first met. Open addressing
// with each text's hash kept beside its number: a million different names
// are looked up without a node or a comparison of texts per step.
class NameTextIds
{
public:
    explicit NameTextIds(size_t expected) { grow(expected); }

    // Inline: called for every part while a list is read.
    quint32 idOf(std::string_view text)
    {
        const size_t hash = std::hash<std::string_view>()(text);
        size_t slot = hash & m_mask;
        for (; m_slots[slot].id != kEmpty; slot = (slot + 1) & m_mask) {
            if (m_slots[slot].hash == hash && m_texts[m_slots[slot].id] == text)
                return m_slots[slot].id;
        }
        const quint32 id = quint32(m_texts.size());
        m_texts.push_back(m_store.keep(text)); // text may go away
        m_slots[slot] = Slot{hash, id};
        if (m_texts.size() * 2 > m_slots.size())
            grow(m_texts.size() * 2);
        return id;
    }
    const std::vector<std::string_view>& texts() const { return m_texts; }

private:
    static constexpr quint32 kEmpty = ~quint32(0);
    struct Slot
    {
        size_t hash = 0;
        quint32 id = kEmpty;
    };

    // Room for count texts, the table at most half full.
    void grow(size_t count);

    NameTextStore m_store;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    std::vector<std::string_view> m_texts; // by id
};
