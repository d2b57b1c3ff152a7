#include "CrossIndex.h"

#include "core/text/CaseFolding.h"

#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <algorithm>
#include <string_view>
#include <utility>

namespace {

// In cross-number order, so equal cross numbers arrive together and are
// stored once without a hash; it reads only the index on CROSSNUMBER.
constexpr char kCrossNumbers[] =
    "SELECT rowid, CROSSNUMBER FROM PRICE WHERE CROSSNUMBER > '' ORDER BY CROSSNUMBER";

// This connection's writes to PRICE, counted by temporary triggers: they
// live in the connection itself, see only its own changes, and go with it
// when it closes, so a new connection is told by the counter's absence.
constexpr char kPriceWritesExist[] =
    "SELECT EXISTS (SELECT * FROM temp.sqlite_master WHERE type = 'table' AND name = "
    "'tardesk_price_writes'), "
    "(SELECT data_version FROM pragma_data_version), (SELECT schema_version FROM pragma_schema_version)";
constexpr char kPriceWrites[] = "SELECT n FROM temp.tardesk_price_writes";
// Dropping PRICE drops its triggers; a table replaced by another connection
// keeps them, bound by name.
constexpr char kCountPriceWrites[] =
    "CREATE TEMP TABLE IF NOT EXISTS tardesk_price_writes (n INTEGER NOT NULL);"
    "INSERT INTO temp.tardesk_price_writes SELECT 0 WHERE NOT EXISTS (SELECT * FROM "
    "temp.tardesk_price_writes);"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_inserted AFTER INSERT ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_updated AFTER UPDATE ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;"
    "CREATE TEMP TRIGGER IF NOT EXISTS tardesk_price_deleted AFTER DELETE ON main.PRICE "
    "BEGIN UPDATE tardesk_price_writes SET n = n + 1; END;";

} // namespace

bool CrossIndex::Version::operator==(const Version& other) const
{
    return priceWrites == other.priceWrites && dataVersion == other.dataVersion &&
           schemaVersion == other.schemaVersion;
}

void CrossIndex::refresh(SQLite::Database& db)
{
    const Version now = versionOf(db);
    if (m_version == now)
        return;
    // A build that fails half-way must not pass for current.
    m_version = Version();
    build(db);
    countPriceWrites(db);
    // Changes of a transaction still open may yet be rolled back, which
    // takes the counter back with them: such an index serves one search only.
    if (sqlite3_txn_state(db.getHandle(), "main") != SQLITE_TXN_WRITE)
        m_version = versionOf(db);
}

CrossIndex::Version CrossIndex::versionOf(SQLite::Database& db)
{
    SQLite::Statement query(db, kPriceWritesExist);
    query.executeStep();
    Version version;
    version.dataVersion = query.getColumn(1).getInt64();
    version.schemaVersion = query.getColumn(2).getInt64();
    if (query.getColumn(0).getInt() != 0)
        version.priceWrites = db.execAndGet(kPriceWrites).getInt64();
    return version;
}

void CrossIndex::countPriceWrites(SQLite::Database& db)
{
    db.exec(kCountPriceWrites);
}

void CrossIndex::build(SQLite::Database& db)
{
    m_crossText.clear();
    m_crossStart.clear();
    std::vector<std::pair<int64_t, int32_t>> parts;
    SQLite::Statement query(db, kCrossNumbers);
    while (query.executeStep()) {
        const SQLite::Column column = query.getColumn(1);
        const char* text = column.getText();
        const std::string_view cross(text, size_t(column.getBytes()));
        if (m_crossStart.empty() || cross != std::string_view(m_crossText).substr(m_crossStart.back())) {
            m_crossStart.push_back(uint32_t(m_crossText.size()));
            m_crossText.append(cross);
        }
        parts.emplace_back(query.getColumn(0).getInt64(), int32_t(m_crossStart.size() - 1));
    }
    m_crossStart.push_back(uint32_t(m_crossText.size()));
    sortCrosses(parts);
    indexParts(parts);
    m_found.assign((m_crossStart.size() - 1 + 63) / 64, 0);
    m_found.shrink_to_fit();
}

void CrossIndex::sortCrosses(std::vector<std::pair<int64_t, int32_t>>& parts)
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
    for (auto& part : parts)
        part.second = renumbered[size_t(part.second)];
}

void CrossIndex::indexParts(std::vector<std::pair<int64_t, int32_t>>& parts)
{
    m_crossByRowId.clear();
    m_sparseRowIds.clear();
    m_sparseCrosses.clear();
    const auto [lowest, highest] = std::minmax_element(
        parts.cbegin(), parts.cend(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // A slot per rowid takes 4 bytes, a sparse entry 12 per part.
    if (parts.empty() || (lowest->first >= 0 && highest->first < 3 * int64_t(parts.size()))) {
        m_crossByRowId.assign(parts.empty() ? 0 : size_t(highest->first) + 1, kNoCross);
        m_crossByRowId.shrink_to_fit();
        for (const auto& [rowId, cross] : parts)
            m_crossByRowId[size_t(rowId)] = cross;
        return;
    }
    std::sort(parts.begin(), parts.end());
    m_sparseRowIds.reserve(parts.size());
    m_sparseCrosses.reserve(parts.size());
    for (const auto& [rowId, cross] : parts) {
        m_sparseRowIds.push_back(rowId);
        m_sparseCrosses.push_back(cross);
    }
}

int32_t CrossIndex::crossOf(int64_t rowId) const
{
    if (m_sparseRowIds.empty())
        return rowId >= 0 && uint64_t(rowId) < m_crossByRowId.size() ? m_crossByRowId[size_t(rowId)]
                                                                     : kNoCross;
    const auto found = std::lower_bound(m_sparseRowIds.cbegin(), m_sparseRowIds.cend(), rowId);
    return found != m_sparseRowIds.cend() && *found == rowId
               ? m_sparseCrosses[size_t(found - m_sparseRowIds.cbegin())]
               : kNoCross;
}

QString CrossIndex::crossText(int32_t cross) const
{
    const uint32_t start = m_crossStart[size_t(cross)];
    return QString::fromUtf8(m_crossText.data() + start, qsizetype(m_crossStart[size_t(cross) + 1] - start));
}

QStringList CrossIndex::crossesOf(const std::vector<int64_t>& rowIds)
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

size_t CrossIndex::memoryBytes() const
{
    return sizeof(*this) + m_crossText.capacity() + m_crossStart.capacity() * sizeof(uint32_t) +
           m_spellingsOf.capacity() * sizeof(int32_t) + m_crossByRowId.capacity() * sizeof(int32_t) +
           m_sparseRowIds.capacity() * sizeof(int64_t) + m_sparseCrosses.capacity() * sizeof(int32_t) +
           m_found.capacity() * sizeof(uint64_t);
}
