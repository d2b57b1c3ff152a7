#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class MapImageReader;
class MapImageWriter;

// The cross numbers of a list, held by the client, each stored once under
// an id that the client keeps per part, so that a search turns the parts it
// finds into their cross numbers without reading the table. Each engine
// fills one from its own table.
class CrossMap
{
public:
    // Starts a new map: addCross() the cross number of every part that has
    // one, in any order, then finish().
    void clear();
    // The id of a part's cross number, the same for every part of it.
    int32_t addCross(std::string_view cross);
    // Gives the cross numbers the ids markIds() takes: the id addCross()
    // gave becomes takeRenumbering()[id].
    void finish();
    std::vector<int32_t> takeRenumbering() { return std::move(m_renumbering); }

    // Stands for a part without a cross number.
    static constexpr int32_t kNoCross = -1;

    // The cross numbers of the parts found, as markIds() gives their ids (in
    // pieces, if need be; kNoCross is passed over): one per cross number however its parts spell it
    // (the spelling kept is the first in binary order, so the list does not
    // depend on the order of the parts), ascending ignoring case as
    // CaseFolding compares.
    void markIds(const uint32_t* first, const uint32_t* last);
    QStringList takeMarked();

    // Bytes held, for the memory budget.
    size_t memoryBytes() const;

    // The finished map as it is held, for a program that reads it back
    // with load() rather than sort its crosses again.
    void save(MapImageWriter& out) const;
    // The map save() wrote; false, leaving it empty, when the bytes are
    // not one.
    bool load(MapImageReader& in);
    // How many distinct spellings of cross numbers the map holds: the ids
    // markIds() takes are below it.
    size_t crossCount() const { return m_spellingsOf.size(); }

private:
    // Renumbers the cross ids into the order of the search results and
    // groups the spellings of each cross number.
    void sortCrosses();
    // Points each id of the sorted map at the first spelling of its cross number.
    void groupSpellings();
    QString crossText(int32_t cross) const;
    std::string_view crossBytes(int32_t cross) const;
    // Compares the cross numbers ignoring case, as CaseFolding does.
    int compareFolded(int32_t a, int32_t b) const;
    // The order of the ids: ascending ignoring case, then in binary order;
    // headA and headB are foldedHead() of the two.
    bool comesBefore(uint64_t headA, int32_t a, uint64_t headB, int32_t b) const;
    void mark(int32_t cross);
    void hashAdded(size_t slotCount);

    // Cross numbers as UTF-8, each distinct one stored once: id i spans
    // m_crossText[m_crossStart[i], m_crossStart[i + 1]). Ids ascend ignoring
    // case, then in binary order, so the spellings of one cross number are
    // neighbours and share m_spellingsOf.
    std::string m_crossText;
    std::vector<uint32_t> m_crossStart;
    std::vector<int32_t> m_spellingsOf;
    // While addCross() fills the map: the cross ids by a hash of their
    // text, -1 where free, unless every cross so far came in binary order.
    std::vector<int32_t> m_slots;
    bool m_inOrder = true;
    std::vector<int32_t> m_renumbering;
    // A bit per cross id, set for the crosses a lookup finds and cleared
    // again as the lookup reads them out.
    std::vector<uint64_t> m_found;
    // The words of m_found where bits may be set.
    size_t m_firstWord = SIZE_MAX;
    size_t m_endWord = 0;
};
