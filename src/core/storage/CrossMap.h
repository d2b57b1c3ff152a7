#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The cross number of every part by its row id, held by the client, so that
// a search reads only the row ids of the parts it finds and never the table.
// Each engine fills one from its own table.
class CrossMap
{
public:
    // Starts a new map: add() every part with a cross number, in the binary
    // (code-point) order of the cross numbers, then finish().
    void clear();
    void add(int64_t rowId, std::string_view cross);
    // Optional, before add(): the largest row id to come, so that each part
    // goes straight into its row id's slot rather than a list of pairs.
    void expectRowIds(int64_t highest);
    void finish();

    // For parts a caller keeps itself, in any order: the id of a part's
    // cross number, the same for every part of it, stored once. finish()
    // then gives each id the one crossesOfIds() takes, through
    // renumbering(), where add() was not used.
    int32_t addCross(std::string_view cross);
    std::vector<int32_t> takeRenumbering() { return std::move(m_renumbering); }

    // The cross numbers of the given parts, one per cross number however its
    // parts spell it (the spelling kept is the first in binary order, so the
    // list does not depend on the order of the parts), ascending ignoring
    // case as CaseFolding compares; parts without a cross number are passed over.
    QStringList crossesOf(const std::vector<int64_t>& rowIds);
    // As crossesOf, by the parts' cross ids as renumbered: markIds() with
    // those of every part found, then takeMarked().
    void markIds(const uint32_t* first, const uint32_t* last);
    QStringList takeMarked();

    // Bytes held, for the memory budget.
    size_t memoryBytes() const;

private:
    // Renumbers the cross ids read in binary order into the order of the
    // search results and groups the spellings of each cross number.
    void sortCrosses();
    void indexParts();
    void indexDenseParts();
    int32_t crossOf(int64_t rowId) const;
    QString crossText(int32_t cross) const;
    std::string_view crossBytes(int32_t cross) const;
    // Compares the cross numbers ignoring case, as CaseFolding does.
    int compareFolded(int32_t a, int32_t b) const;
    void mark(int32_t cross);

    static constexpr int32_t kNoCross = -1;

    // While the map is filled: each part's row id and cross id.
    std::vector<std::pair<int64_t, int32_t>> m_parts;
    // Cross numbers as UTF-8, each distinct one stored once: id i spans
    // m_crossText[m_crossStart[i], m_crossStart[i + 1]). Ids ascend ignoring
    // case, then in binary order, so the spellings of one cross number are
    // neighbours and share m_spellingsOf.
    std::string m_crossText;
    std::vector<uint32_t> m_crossStart;
    std::vector<int32_t> m_spellingsOf;
    // While addCross() fills the map: the cross ids by a hash of their
    // text, -1 where free; then the final id of each.
    std::vector<int32_t> m_slots;
    std::vector<int32_t> m_renumbering;
    // Dense row ids (the usual case) index m_crossByRowId directly; otherwise
    // m_sparseRowIds is sorted and m_sparseCrosses runs parallel to it.
    std::vector<int32_t> m_crossByRowId;
    std::vector<int64_t> m_sparseRowIds;
    std::vector<int32_t> m_sparseCrosses;
    // A bit per cross id, set for the crosses a lookup finds and cleared
    // again as the lookup reads them out.
    std::vector<uint64_t> m_found;
    // Whether add() fills m_crossByRowId, and how many slots it filled.
    bool m_denseFill = false;
    size_t m_denseCount = 0;
    // The words of m_found where bits may be set.
    size_t m_firstWord = SIZE_MAX;
    size_t m_endWord = 0;
};
