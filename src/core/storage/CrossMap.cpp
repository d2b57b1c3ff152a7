#include "CrossMap.h"

#include "core/text/CaseFolding.h"

#include <algorithm>

void CrossMap::clear()
{
    m_parts.clear();
    m_crossText.clear();
    m_crossStart.clear();
}

void CrossMap::add(int64_t rowId, std::string_view cross)
{
    // In binary order, equal cross numbers arrive together and are stored once without a hash.
    if (m_crossStart.empty() || cross != std::string_view(m_crossText).substr(m_crossStart.back())) {
        m_crossStart.push_back(uint32_t(m_crossText.size()));
        m_crossText.append(cross);
    }
    m_parts.emplace_back(rowId, int32_t(m_crossStart.size() - 1));
}

void CrossMap::finish()
{
    m_crossStart.push_back(uint32_t(m_crossText.size()));
    sortCrosses();
    indexParts();
    m_parts.clear();
    m_parts.shrink_to_fit();
    m_found.assign((m_crossStart.size() - 1 + 63) / 64, 0);
    m_found.shrink_to_fit();
}

void CrossMap::sortCrosses()
{
    const int32_t count = int32_t(m_crossStart.size() - 1);
    // Folded once into one buffer, so that sorting compares plain UTF-16.
    QString folded;
    folded.reserve(qsizetype(m_crossText.size()));
    std::vector<qsizetype> foldedStart;
    foldedStart.reserve(m_crossStart.size());
    std::vector<int32_t> order;
    order.reserve(size_t(count));
    for (int32_t cross = 0; cross < count; ++cross) {
        foldedStart.push_back(folded.size());
        folded += CaseFolding::upper(crossText(cross));
        order.push_back(cross);
    }
    foldedStart.push_back(folded.size());
    const auto foldedOf = [&](int32_t cross) {
        const size_t i = size_t(cross);
        return QStringView(folded).mid(foldedStart[i], foldedStart[i + 1] - foldedStart[i]);
    };
    // Ascending ignoring case; the rare ties of the folded texts are broken
    // by the spellings themselves, in binary order.
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const int byFolded = foldedOf(a).compare(foldedOf(b));
        return byFolded != 0 ? byFolded < 0 : crossText(a) < crossText(b);
    });

    std::vector<int32_t> renumbered(static_cast<size_t>(count));
    std::string sortedText;
    sortedText.reserve(m_crossText.size());
    std::vector<uint32_t> sortedStart;
    sortedStart.reserve(m_crossStart.size());
    m_spellingsOf.assign(size_t(count), 0);
    m_spellingsOf.shrink_to_fit();
    for (int32_t cross = 0; cross < count; ++cross) {
        const int32_t old = order[size_t(cross)];
        renumbered[size_t(old)] = cross;
        sortedStart.push_back(uint32_t(sortedText.size()));
        sortedText.append(m_crossText, m_crossStart[size_t(old)],
                          m_crossStart[size_t(old) + 1] - m_crossStart[size_t(old)]);
        const bool sameAsBefore = cross > 0 && foldedOf(old) == foldedOf(order[size_t(cross) - 1]);
        m_spellingsOf[size_t(cross)] = sameAsBefore ? m_spellingsOf[size_t(cross) - 1] : cross;
    }
    sortedStart.push_back(uint32_t(sortedText.size()));
    m_crossText.swap(sortedText);
    m_crossStart.swap(sortedStart);
    for (auto& part : m_parts)
        part.second = renumbered[size_t(part.second)];
}

void CrossMap::indexParts()
{
    m_crossByRowId.clear();
    m_sparseRowIds.clear();
    m_sparseCrosses.clear();
    const auto [lowest, highest] = std::minmax_element(
        m_parts.cbegin(), m_parts.cend(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // A slot per rowid takes 4 bytes, a sparse entry 12 per part.
    if (m_parts.empty() || (lowest->first >= 0 && highest->first < 3 * int64_t(m_parts.size()))) {
        m_crossByRowId.assign(m_parts.empty() ? 0 : size_t(highest->first) + 1, kNoCross);
        m_crossByRowId.shrink_to_fit();
        for (const auto& [rowId, cross] : m_parts)
            m_crossByRowId[size_t(rowId)] = cross;
        return;
    }
    std::sort(m_parts.begin(), m_parts.end());
    m_sparseRowIds.reserve(m_parts.size());
    m_sparseCrosses.reserve(m_parts.size());
    for (const auto& [rowId, cross] : m_parts) {
        m_sparseRowIds.push_back(rowId);
        m_sparseCrosses.push_back(cross);
    }
}

int32_t CrossMap::crossOf(int64_t rowId) const
{
    if (m_sparseRowIds.empty())
        return rowId >= 0 && uint64_t(rowId) < m_crossByRowId.size() ? m_crossByRowId[size_t(rowId)]
                                                                     : kNoCross;
    const auto found = std::lower_bound(m_sparseRowIds.cbegin(), m_sparseRowIds.cend(), rowId);
    return found != m_sparseRowIds.cend() && *found == rowId
               ? m_sparseCrosses[size_t(found - m_sparseRowIds.cbegin())]
               : kNoCross;
}

QString CrossMap::crossText(int32_t cross) const
{
    const uint32_t start = m_crossStart[size_t(cross)];
    return QString::fromUtf8(m_crossText.data() + start, qsizetype(m_crossStart[size_t(cross) + 1] - start));
}

QStringList CrossMap::crossesOf(const std::vector<int64_t>& rowIds)
{
    size_t firstWord = m_found.size(), endWord = 0;
    for (const int64_t rowId : rowIds) {
        const int32_t cross = crossOf(rowId);
        if (cross == kNoCross)
            continue;
        const size_t word = size_t(cross) / 64;
        m_found[word] |= uint64_t(1) << (size_t(cross) % 64);
        firstWord = std::min(firstWord, word);
        endWord = std::max(endWord, word + 1);
    }
    // Reading the bits in order sorts the ids, and clears them for the next lookup.
    QStringList crosses;
    int32_t lastSpellings = kNoCross;
    for (size_t word = firstWord; word < endWord; ++word) {
        for (uint64_t bits = m_found[word]; bits != 0; bits &= bits - 1) {
            const int32_t cross = int32_t(word * 64 + size_t(__builtin_ctzll(bits)));
            if (m_spellingsOf[size_t(cross)] == lastSpellings)
                continue;
            lastSpellings = m_spellingsOf[size_t(cross)];
            crosses << crossText(cross);
        }
        m_found[word] = 0;
    }
    return crosses;
}

size_t CrossMap::memoryBytes() const
{
    return sizeof(*this) + m_crossText.capacity() + m_crossStart.capacity() * sizeof(uint32_t) +
           m_spellingsOf.capacity() * sizeof(int32_t) + m_crossByRowId.capacity() * sizeof(int32_t) +
           m_sparseRowIds.capacity() * sizeof(int64_t) + m_sparseCrosses.capacity() * sizeof(int32_t) +
           m_found.capacity() * sizeof(uint64_t);
}
