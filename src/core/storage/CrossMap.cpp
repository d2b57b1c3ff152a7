#include "CrossMap.h"

#include "core/storage/MapImageReader.h"
#include "core/storage/MapImageWriter.h"
#include "core/storage/SharedStrings.h"
#include "core/text/CaseFolding.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>

namespace {

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char ch) { return uint8_t(ch) < 0x80; });
}

char asciiUpper(char ch)
{
    return ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch;
}

// The first eight bytes folded, as one number that orders as the folded
// texts do where it differs: the characters folded from the first one
// beyond ASCII on read as the highest, since they all are above ASCII.
uint64_t foldedHead(std::string_view text)
{
    uint64_t head = 0;
    bool beyondAscii = false;
    for (size_t byte = 0; byte < 8; ++byte) {
        beyondAscii = beyondAscii || (byte < text.size() && uint8_t(text[byte]) >= 0x80);
        const uint8_t value = beyondAscii ? 0xff : byte < text.size() ? uint8_t(asciiUpper(text[byte])) : 0;
        head = (head << 8) | value;
    }
    return head;
}

} // namespace

void CrossMap::clear()
{
    m_crossText.clear();
    m_crossStart.clear();
    m_slots.clear();
    m_renumbering.clear();
    m_inOrder = true;
}

std::string_view CrossMap::crossBytes(int32_t cross) const
{
    // While the map is filled, the last text has no start after it yet.
    const size_t end =
        size_t(cross) + 1 < m_crossStart.size() ? m_crossStart[size_t(cross) + 1] : m_crossText.size();
    return std::string_view(m_crossText)
        .substr(m_crossStart[size_t(cross)], end - m_crossStart[size_t(cross)]);
}

void CrossMap::hashAdded(size_t slotCount)
{
    m_slots.assign(slotCount, -1);
    for (int32_t id = 0; id < int32_t(m_crossStart.size()); ++id) {
        size_t slot = std::hash<std::string_view>()(crossBytes(id)) & (m_slots.size() - 1);
        while (m_slots[slot] != -1)
            slot = (slot + 1) & (m_slots.size() - 1);
        m_slots[slot] = id;
    }
}

int32_t CrossMap::addCross(std::string_view cross)
{
    const int32_t added = int32_t(m_crossStart.size());
    // Parts of one cross number usually come together.
    if (added > 0 && cross == crossBytes(added - 1))
        return added - 1;
    // While the crosses come in binary order, as from an index, each new one
    // is unlike all before it and needs no look-up.
    if (m_inOrder && (added == 0 || crossBytes(added - 1) < cross)) {
        m_crossStart.push_back(uint32_t(m_crossText.size()));
        m_crossText.append(cross);
        return added;
    }
    // Three in four slots taken at most.
    if (m_inOrder || size_t(added + 1) * 4 > m_slots.size() * 3) {
        size_t slotCount = std::max<size_t>(1024, m_slots.size() * 2);
        while (size_t(added + 1) * 4 > slotCount * 3)
            slotCount *= 2;
        hashAdded(slotCount);
        m_inOrder = false;
    }
    size_t slot = std::hash<std::string_view>()(cross) & (m_slots.size() - 1);
    for (; m_slots[slot] != -1; slot = (slot + 1) & (m_slots.size() - 1))
        if (crossBytes(m_slots[slot]) == cross)
            return m_slots[slot];
    m_slots[slot] = added;
    m_crossStart.push_back(uint32_t(m_crossText.size()));
    m_crossText.append(cross);
    return added;
}

void CrossMap::finish()
{
    m_crossStart.push_back(uint32_t(m_crossText.size()));
    m_slots.clear();
    m_slots.shrink_to_fit();
    sortCrosses();
    m_found.assign((m_crossStart.size() - 1 + 63) / 64, 0);
    m_found.shrink_to_fit();
}

int CrossMap::compareFolded(int32_t a, int32_t b) const
{
    const std::string_view textA = crossBytes(a), textB = crossBytes(b);
    if (!isAscii(textA) || !isAscii(textB))
        return CaseFolding::upper(crossText(a)).compare(CaseFolding::upper(crossText(b)));
    for (size_t i = 0; i < textA.size() && i < textB.size(); ++i) {
        const char upperA = asciiUpper(textA[i]), upperB = asciiUpper(textB[i]);
        if (upperA != upperB)
            return uint8_t(upperA) < uint8_t(upperB) ? -1 : 1;
    }
    return textA.size() == textB.size() ? 0 : textA.size() < textB.size() ? -1 : 1;
}

bool CrossMap::comesBefore(uint64_t headA, int32_t a, uint64_t headB, int32_t b) const
{
    if (headA != headB)
        return headA < headB;
    const int byFolded = compareFolded(a, b);
    return byFolded != 0 ? byFolded < 0 : crossBytes(a) < crossBytes(b);
}

void CrossMap::sortCrosses()
{
    const int32_t count = int32_t(m_crossStart.size() - 1);
    // Crosses read from an index come in order already, and stay where they are.
    bool inOrder = true;
    for (int32_t cross = 1; cross < count && inOrder; ++cross)
        inOrder =
            comesBefore(foldedHead(crossBytes(cross - 1)), cross - 1, foldedHead(crossBytes(cross)), cross);
    if (inOrder) {
        m_renumbering.resize(size_t(count));
        std::iota(m_renumbering.begin(), m_renumbering.end(), 0);
        groupSpellings();
        m_crossText.shrink_to_fit();
        m_crossStart.shrink_to_fit();
        return;
    }
    // Ascending ignoring case; the rare ties of the folded texts are broken
    // by the spellings themselves, in binary order.
    std::vector<std::pair<uint64_t, int32_t>> order;
    order.reserve(size_t(count));
    for (int32_t cross = 0; cross < count; ++cross)
        order.emplace_back(foldedHead(crossBytes(cross)), cross);
    std::sort(order.begin(), order.end(), [this](const auto& a, const auto& b) {
        return comesBefore(a.first, a.second, b.first, b.second);
    });
    // The old id of each new one, in a quarter of the room of the sort.
    std::vector<int32_t> oldOf(static_cast<size_t>(count));
    for (int32_t cross = 0; cross < count; ++cross)
        oldOf[size_t(cross)] = order[size_t(cross)].second;
    order.clear();
    order.shrink_to_fit();

    std::vector<int32_t> renumbered(static_cast<size_t>(count));
    std::string sortedText;
    sortedText.reserve(m_crossText.size());
    std::vector<uint32_t> sortedStart;
    sortedStart.reserve(m_crossStart.size());
    m_spellingsOf.assign(size_t(count), 0);
    m_spellingsOf.shrink_to_fit();
    for (int32_t cross = 0; cross < count; ++cross) {
        const int32_t old = oldOf[size_t(cross)];
        renumbered[size_t(old)] = cross;
        sortedStart.push_back(uint32_t(sortedText.size()));
        sortedText.append(crossBytes(old));
        const bool sameAsBefore = cross > 0 && compareFolded(old, oldOf[size_t(cross) - 1]) == 0;
        m_spellingsOf[size_t(cross)] = sameAsBefore ? m_spellingsOf[size_t(cross) - 1] : cross;
    }
    oldOf.clear();
    oldOf.shrink_to_fit();
    sortedStart.push_back(uint32_t(sortedText.size()));
    m_crossText.swap(sortedText);
    m_crossStart.swap(sortedStart);
    m_renumbering = std::move(renumbered);
}

void CrossMap::groupSpellings()
{
    const int32_t count = int32_t(m_crossStart.size() - 1);
    m_spellingsOf.resize(size_t(count));
    for (int32_t cross = 0; cross < count; ++cross)
        m_spellingsOf[size_t(cross)] =
            cross > 0 && compareFolded(cross, cross - 1) == 0 ? m_spellingsOf[size_t(cross) - 1] : cross;
    m_spellingsOf.shrink_to_fit();
}

void CrossMap::save(MapImageWriter& out) const
{
    out.writeNumber(m_crossStart.size() - 1);
    out.writeNumber(m_crossText.size());
    out.write(m_crossText.data(), m_crossText.size());
    out.write(m_crossStart.data(), m_crossStart.size() * sizeof(uint32_t));
}

bool CrossMap::load(MapImageReader& in)
{
    clear();
    m_spellingsOf.clear();
    uint64_t count = 0, textBytes = 0;
    std::string starts;
    bool loaded = in.readNumber(count) && count < uint64_t(INT32_MAX) && in.readNumber(textBytes) &&
                  textBytes <= UINT32_MAX && in.append(m_crossText, textBytes) &&
                  in.append(starts, (count + 1) * sizeof(uint32_t));
    if (loaded) {
        m_crossStart.resize(count + 1);
        std::memcpy(m_crossStart.data(), starts.data(), starts.size());
        // Every text within the map, none before the one before it.
        loaded = m_crossStart.front() == 0 && m_crossStart.back() == m_crossText.size() &&
                 std::is_sorted(m_crossStart.begin(), m_crossStart.end());
    }
    if (!loaded) {
        clear();
        return false;
    }
    groupSpellings();
    m_found.assign((count + 63) / 64, 0);
    return true;
}

QString CrossMap::crossText(int32_t cross) const
{
    // Most cross numbers are ASCII, which needs no decoding.
    const std::string_view text = crossBytes(cross);
    return isAscii(text) ? QString::fromLatin1(text.data(), qsizetype(text.size()))
                         : QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void CrossMap::mark(int32_t cross)
{
    const size_t word = size_t(cross) / 64;
    m_found[word] |= uint64_t(1) << (size_t(cross) % 64);
    m_firstWord = std::min(m_firstWord, word);
    m_endWord = std::max(m_endWord, word + 1);
}

void CrossMap::markIds(const uint32_t* first, const uint32_t* last)
{
    for (; first != last; ++first)
        if (int32_t(*first) != kNoCross)
            mark(int32_t(*first));
}

QStringList CrossMap::takeMarked()
{
    qsizetype found = 0;
    for (size_t word = m_firstWord; word < m_endWord; ++word)
        found += __builtin_popcountll(m_found[word]);
    QStringList crosses;
    crosses.reserve(found);
    SharedStrings strings;
    // Reading the bits in order sorts the ids, and clears them for the next lookup.
    int32_t lastSpellings = kNoCross;
    for (size_t word = m_firstWord; word < m_endWord; ++word) {
        for (uint64_t bits = m_found[word]; bits != 0; bits &= bits - 1) {
            const int32_t cross = int32_t(word * 64 + size_t(__builtin_ctzll(bits)));
            if (m_spellingsOf[size_t(cross)] == lastSpellings)
                continue;
            lastSpellings = m_spellingsOf[size_t(cross)];
            std::optional<QString> ascii = strings.fromAscii(crossBytes(cross));
            crosses << (ascii ? std::move(*ascii) : crossText(cross));
        }
        m_found[word] = 0;
    }
    m_firstWord = SIZE_MAX;
    m_endWord = 0;
    return crosses;
}

size_t CrossMap::memoryBytes() const
{
    return sizeof(*this) + m_crossText.capacity() + m_crossStart.capacity() * sizeof(uint32_t) +
           m_spellingsOf.capacity() * sizeof(int32_t) + m_found.capacity() * sizeof(uint64_t);
}
