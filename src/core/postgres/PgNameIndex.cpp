#include "PgNameIndex.h"

#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgPriceCatalogue.h"
#include "core/postgres/PgSchema.h"
#include "core/storage/Tables.h"
#include "core/text/NameWords.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

constexpr char kSnapshot[] = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
// PRICE first, as every reader and the update's swap lock it, so that a swap
// is waited for and seen whole: never the names of one list beside the parts
// of another.
constexpr char kLockList[] = "LOCK TABLE PRICE, GROUPS, NAME_RUNS IN ACCESS SHARE MODE";
constexpr char kExists[] = "SELECT to_regclass('name_runs') IS NOT NULL";

// All parts of the matching runs, and the list's version.
constexpr char kCountMatches[] = "SELECT (SELECT VERSION FROM TARDESK_LIST), coalesce(sum(PARTS), 0) "
                                 "FROM NAME_RUNS WHERE WORDS @@ $1::tsquery";
// The ROW_NO of the first $2 matching parts, run by run in order. Only the
// first $2 runs are sorted, and summed, however many match.
constexpr char kFirstMatches[] =
    "SELECT R.ROW_NOS[1:($2 - R.BEFORE)::integer] FROM (SELECT RUN_NO, ROW_NOS, "
    "sum(PARTS) OVER (ORDER BY RUN_NO) - PARTS AS BEFORE FROM (SELECT RUN_NO, PARTS, ROW_NOS FROM NAME_RUNS "
    "WHERE WORDS @@ $1::tsquery ORDER BY RUN_NO LIMIT $2) L) R WHERE R.BEFORE < $2 ORDER BY R.RUN_NO";
constexpr char kGroupNames[] = "SELECT GROUPCODE, GROUPNAME FROM GROUPS ORDER BY GROUPCODE COLLATE \"C\"";
constexpr char kPartGroups[] = "SELECT DISTINCT GROUPCODE FROM PRICE";
// $1: the codes of no group; $2: whether parts without a code are of none.
constexpr char kOrphans[] =
    "SELECT ROW_NO FROM PRICE WHERE GROUPCODE = ANY($1::text[]) OR ($2::boolean AND GROUPCODE IS NULL)";
// The words of each run holding a part of $1, and its parts of $1.
constexpr char kOrphanRuns[] =
    "SELECT R.RUN_NO, array_to_string(tsvector_to_array(R.WORDS), ' '), "
    "(SELECT count(*) FROM unnest(R.ROW_NOS) U(ROW_NO) WHERE U.ROW_NO = ANY($1::bigint[])) "
    "FROM NAME_RUNS R WHERE R.ROW_NOS && $1::bigint[]";

// The server keeps no longer lexeme, in bytes: no word of a name is as long.
constexpr int kLongestWord = 2047;
constexpr int kRowsPerFetch = 100000;
constexpr size_t kCopyChunk = 1 << 20;

// The parts of the ROW_NOs in $1, in that order.
std::string partsOfRows()
{
    std::string columns;
    for (const TableColumn& column : Tables::kPriceColumns)
        columns += (columns.empty() ? "P." : ", P.") + std::string(column.name);
    return "SELECT " + columns +
           " FROM unnest($1::bigint[]) WITH ORDINALITY U(ROW_NO, PLACE) JOIN PRICE P ON P.ROW_NO = U.ROW_NO "
           "ORDER BY U.PLACE";
}

// word between quotes as a lexeme of a tsvector or tsquery, taken as it is.
void appendLexeme(std::string& text, std::string_view word)
{
    text += '\'';
    for (const char ch : word) {
        if (ch == '\'' || ch == '\\')
            text += ch;
        text += ch;
    }
    text += '\'';
}

// Every query word as the beginning of some word of the name.
std::string tsquery(const QStringList& query)
{
    std::string text;
    for (const QString& word : query) {
        if (!text.empty())
            text += " & ";
        appendLexeme(text, word.toStdString());
        text += ":*";
    }
    return text;
}

bool tooLong(const QStringList& query)
{
    return std::any_of(query.begin(), query.end(),
                       [](const QString& word) { return word.toUtf8().size() > kLongestWord; });
}

Error notBuilt()
{
    return Error(
        QCoreApplication::translate("PgNameIndex", "Поиск по названию недоступен: обновите прайс-лист"));
}

void stopIfAsked(const PriceListRebuild::Listener& listener)
{
    if (listener.keepAlive && listener.keepAlive())
        throw Error(QCoreApplication::translate("PgNameIndex", "Построение указателя названий прервано"));
}

quint32 takeNumber(std::string_view bytes, size_t& at)
{
    quint32 value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(bytes[at++]);
        value |= quint32(byte & 0x7f) << shift;
        if (byte < 0x80)
            return value;
    }
}

} // namespace

PgNameIndex::PgNameIndex(PgConnection& db) : m_db(db)
{}

bool PgNameIndex::exists(PgConnection& db)
{
    return db.exec(kExists).text(0, 0) == "t";
}

bool PgNameIndex::isBuilt()
{
    return exists(m_db);
}

void PgNameIndex::readGroups(qint64 listVersion)
{
    m_groupsVersion = -1;
    m_groupNames.clear();
    m_orphans.clear();
    m_orphanRuns.clear();
    const PgResult groups = m_db.exec(kGroupNames);
    for (int row = 0; row < groups.rows(); ++row) {
        if (groups.isNull(row, 0))
            continue;
        const QString code = UnicodeCaseFolding::fold(groups.string(row, 0));
        if (!m_groupNames.contains(code))
            m_groupNames.insert(code, groups.string(row, 1));
    }

    // An update gives every code of its list a group; a list edited since may lack some.
    const PgResult codes = m_db.exec(kPartGroups);
    std::string missing;
    bool withoutCode = false;
    for (int row = 0; row < codes.rows(); ++row) {
        if (codes.isNull(row, 0)) {
            withoutCode = true;
        } else if (!m_groupNames.contains(UnicodeCaseFolding::fold(codes.string(row, 0)))) {
            missing += missing.empty() ? "\"" : ",\"";
            for (const char ch : codes.text(row, 0)) {
                if (ch == '"' || ch == '\\')
                    missing += '\\';
                missing += ch;
            }
            missing += '"';
        }
    }
    if (!missing.empty() || withoutCode) {
        const PgResult orphans = m_db.exec(kOrphans, {"{" + missing + "}", withoutCode ? "true" : "false"});
        std::string rows = "{";
        for (int row = 0; row < orphans.rows(); ++row) {
            m_orphans.insert(orphans.integer(row, 0));
            rows += (row > 0 ? "," : "") + std::string(orphans.text(row, 0));
        }
        const PgResult runs = m_db.exec(kOrphanRuns, {rows + "}"});
        for (int row = 0; row < runs.rows(); ++row)
            m_orphanRuns.push_back({runs.string(row, 1).split(QLatin1Char(' ')), runs.integer(row, 2)});
    }
    m_groupsVersion = listVersion;
}

qint64 PgNameIndex::orphansFound(const QStringList& query) const
{
    qint64 found = 0;
    for (const OrphanRun& run : m_orphanRuns) {
        const bool matches = std::all_of(query.begin(), query.end(), [&](const QString& typed) {
            return std::any_of(run.words.begin(), run.words.end(),
                               [&](const QString& word) { return word.startsWith(typed); });
        });
        if (matches)
            found += run.parts;
    }
    return found;
}

NameIndex::Found PgNameIndex::find(const QStringList& query, qint64 limit)
{
    Found found;
    if (query.isEmpty() || tooLong(query))
        return found;
    if (!exists(m_db))
        throw notBuilt();
    static const std::string kPartsOfRows = partsOfRows();
    const qint64 shown = limit < 0 ? INT_MAX : std::min<qint64>(limit, INT_MAX);
    // A standby may cancel the snapshot for what it replays: once more.
    for (int attempt = 0;; ++attempt) {
        try {
            const bool own = !m_db.inTransaction();
            PgTransaction transaction(m_db, kSnapshot);
            if (own)
                m_db.exec(kLockList);
            const std::string matching = tsquery(query);
            const PgResult count = m_db.exec(kCountMatches, {matching});
            if (const qint64 version = count.integer(0, 0); version != m_groupsVersion)
                readGroups(version);
            const qint64 orphans = orphansFound(query);
            found.total = count.integer(0, 1) - orphans;
            std::string rowNumbers;
            if (found.total > 0 && shown > 0) {
                // As many more as there are parts of no group to leave out.
                const PgResult runs =
                    m_db.exec(kFirstMatches, {matching, std::min<qint64>(shown + orphans, INT_MAX)});
                qint64 taken = 0;
                for (int run = 0; run < runs.rows() && taken < shown; ++run) {
                    const std::string_view array = runs.text(run, 0);
                    for (size_t at = 1; at + 1 < array.size() && taken < shown;) {
                        const size_t end = std::min(array.find(',', at), array.size() - 1);
                        const std::string_view number = array.substr(at, end - at);
                        qint64 row = 0;
                        std::from_chars(number.data(), number.data() + number.size(), row);
                        if (!m_orphans.contains(row)) {
                            rowNumbers.append(rowNumbers.empty() ? "{" : ",").append(number);
                            ++taken;
                        }
                        at = end + 1;
                    }
                }
            }
            if (!rowNumbers.empty()) {
                const PgResult parts = m_db.exec(kPartsOfRows, {rowNumbers + "}"});
                found.shown.reserve(size_t(parts.rows()));
                for (int row = 0; row < parts.rows(); ++row) {
                    Match match{PgPriceCatalogue::readPart(parts, row), QString()};
                    match.groupName = m_groupNames.value(UnicodeCaseFolding::fold(match.part.groupCode));
                    found.shown.push_back(std::move(match));
                }
            }
            transaction.commit();
            return found;
        } catch (const PgError& error) {
            if (attempt > 0 || error.sqlState() != QLatin1String("40001"))
                throw;
            found = Found();
        }
    }
}

void PgNameIndex::build(PgConnection& db, const std::string& suffix,
                        const PriceListRebuild::Listener& listener, const PgNameRanking* ranking)
{
    const std::string price = "PRICE" + suffix;
    const std::string runs = "NAME_RUNS" + suffix;
    PgNameRanking read;
    if (!ranking) {
        const qint64 count = listener.progress ? db.exec("SELECT count(*) FROM " + price).integer(0, 0) : 0;
        db.exec("DECLARE tardesk_names NO SCROLL CURSOR FOR SELECT ROW_NO, PARTNAME, "
                "PARTNUMBER, GROUPCODE FROM " +
                price);
        for (;;) {
            const PgResult rows = db.exec("FETCH " + std::to_string(kRowsPerFetch) + " FROM tardesk_names");
            for (int row = 0; row < rows.rows(); ++row)
                read.add(rows.integer(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3));
            stopIfAsked(listener);
            if (listener.progress)
                listener.progress(read.size(), count);
            if (rows.rows() < kRowsPerFetch)
                break;
        }
        db.exec("CLOSE tardesk_names");
        read.finish();
        ranking = &read;
    }
    stopIfAsked(listener);

    db.exec("CREATE TABLE " + runs +
            " (RUN_NO integer NOT NULL, PARTS integer NOT NULL, WORDS tsvector "
            "NOT NULL, ROW_NOS bigint[] "
            "NOT NULL)");
    db.withLongDeadline([&] {
        // FREEZE: made in this transaction, the rows need no second write to be
        // seen by all.
        db.beginCopy("COPY " + runs + " FROM STDIN (FREEZE)");
        ranking->writeRuns([&](const std::string& rows) { db.putCopyData(rows); });
        db.endCopy();
        // No index on RUN_NO, so that the order of runs never tempts the
        // planner into walking all of them for the first few matches. No
        // statistics of the row numbers, which no query filters by and which
        // would take ANALYZE many times longer than the rest.
        db.execScript("CREATE INDEX " + runs + "_WORDS ON " + runs + " USING gin (WORDS); CREATE INDEX " +
                      price + "_ROW_NO ON " + price + " (ROW_NO); ALTER TABLE " + runs +
                      " ALTER ROW_NOS SET STATISTICS 0; ANALYZE " + runs);
    });
}

void PgNameIndex::buildInPlace(PgConnection& db, const PriceListRebuild::Listener& listener)
{
    PgTransaction transaction(db);
    db.execScript("DROP TABLE IF EXISTS NAME_RUNS; DROP INDEX IF EXISTS PRICE_ROW_NO");
    build(db, std::string(), listener);
    db.exec("UPDATE TARDESK_SCHEMA SET VERSION = $1", {PgSchema::kVersion});
    transaction.commit();
}

std::string PgNameIndex::swapStatement()
{
    // The replaced PRICE took its PRICE_ROW_NO along.
    return "DROP TABLE IF EXISTS NAME_RUNS; ALTER TABLE NAME_RUNS_NEW RENAME TO "
           "NAME_RUNS; "
           "ALTER INDEX NAME_RUNS_NEW_WORDS RENAME TO NAME_RUNS_WORDS; "
           "ALTER INDEX PRICE_NEW_ROW_NO RENAME TO PRICE_ROW_NO; UPDATE "
           "TARDESK_SCHEMA SET VERSION = " +
           std::to_string(PgSchema::kVersion) + "; ";
}

PgNameRanking::PgNameRanking() = default;
PgNameRanking::~PgNameRanking() = default;

void PgNameRanking::add(qint64 row, std::string_view name, std::string_view number, std::string_view group)
{
    const quint32 named = m_nameIds.idOf(name);
    if (named == m_names.size())
        m_names.emplace_back();
    const quint32 grouped = m_groupIds.idOf(group);
    Name& owner = m_names[named];
    // The step to the row, its sign in the lowest bit; rows mostly grow.
    const qint64 step = row - owner.lastRow;
    const auto zigzag = quint64(step < 0 ? ((-(step + 1)) << 1) | 1 : step << 1);
    owner.lastRow = row;
    char head[20];
    size_t length = 0;
    const auto put = [&head, &length](quint64 value) {
        do {
            head[length++] = char(value < 0x80 ? value : (value & 0x7f) | 0x80);
            value >>= 7;
        } while (value != 0);
    };
    put(zigzag);
    put(grouped);
    // PARTNUMBER holds 22 characters: a part fits a block many times over.
    const size_t size = std::min(number.size(), Block::kSize - sizeof head);
    put(size);
    Block* block = owner.last ? m_blocks[owner.last - 1].get() : nullptr;
    if (!block || block->used + length + size > Block::kSize) {
        m_blocks.push_back(std::make_unique<Block>());
        const auto id = quint32(m_blocks.size());
        if (block)
            block->next = id;
        else
            owner.first = id;
        owner.last = id;
        block = m_blocks.back().get();
    }
    std::memcpy(block->bytes + block->used, head, length);
    std::memcpy(block->bytes + block->used + length, number.data(), size);
    block->used += quint32(length + size);
    ++m_parts;
}

template <typename Visit> void PgNameRanking::takeParts(Name& name, Visit visit)
{
    qint64 row = 0;
    for (quint32 id = name.first; id != 0;) {
        std::unique_ptr<Block> block = std::move(m_blocks[id - 1]);
        const std::string_view packed(block->bytes, block->used);
        for (size_t at = 0; at < packed.size();) {
            quint64 zigzag = 0;
            for (int shift = 0;; shift += 7) {
                const auto byte = quint8(packed[at++]);
                zigzag |= quint64(byte & 0x7f) << shift;
                if (byte < 0x80)
                    break;
            }
            row += (zigzag & 1) ? -qint64(zigzag >> 1) - 1 : qint64(zigzag >> 1);
            const quint32 group = takeNumber(packed, at);
            const quint32 length = takeNumber(packed, at);
            visit(row, group, packed.substr(at, length));
            at += length;
        }
        id = block->next;
    }
    name.first = name.last = 0;
}

void PgNameRanking::finish()
{
    // Groups, then names, in code-point order: in UTF-8, byte order.
    const std::vector<std::string_view>& groups = m_groupIds.texts();
    std::vector<quint32> byText(groups.size());
    for (size_t id = 0; id < byText.size(); ++id)
        byText[id] = quint32(id);
    std::sort(byText.begin(), byText.end(),
              [&groups](quint32 a, quint32 b) { return groups[a] < groups[b]; });
    std::vector<quint32> groupRank(groups.size());
    for (size_t at = 0; at < byText.size(); ++at)
        groupRank[byText[at]] = quint32(at);

    std::vector<std::string> keys(m_names.size());
    for (size_t id = 0; id < m_names.size(); ++id)
        keys[id] = NameWords::orderKey(text(m_nameIds.texts()[id])).toStdString();
    std::vector<quint32> byKey(m_names.size());
    for (size_t id = 0; id < byKey.size(); ++id)
        byKey[id] = quint32(id);
    std::sort(byKey.begin(), byKey.end(), [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });

    struct Part
    {
        std::string_view number;
        quint32 group;
        quint32 row;
    };
    std::vector<Part> parts;
    std::string numbers; // of the parts being ordered
    m_ranked.clear();
    for (size_t first = 0; first < byKey.size();) {
        // Names equal but for case have the same words and share their place.
        size_t end = first + 1;
        while (end < byKey.size() && keys[byKey[end]] == keys[byKey[first]])
            ++end;
        parts.clear();
        numbers.clear();
        std::vector<size_t> offsets;
        for (size_t at = first; at < end; ++at)
            takeParts(m_names[byKey[at]], [&](qint64 row, quint32 group, std::string_view number) {
                offsets.push_back(numbers.size());
                numbers += number;
                // A list has fewer parts than a row number of 32 bits holds.
                parts.push_back({{}, groupRank[group], quint32(row)});
            });
        for (size_t at = 0; at < parts.size(); ++at)
            parts[at].number = std::string_view(numbers).substr(
                offsets[at], (at + 1 < parts.size() ? offsets[at + 1] : numbers.size()) - offsets[at]);
        // PARTNUMBER, then GROUPCODE, then the row.
        std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) {
            if (const int order = a.number.compare(b.number); order != 0)
                return order < 0;
            return a.group != b.group ? a.group < b.group : a.row < b.row;
        });
        Name& name = m_names[byKey[first]];
        name.rows.reserve(parts.size());
        for (const Part& part : parts)
            name.rows.push_back(part.row);

        Ranked ranked{byKey[first], {}};
        const QString words = NameWords::indexed(text(m_nameIds.texts()[byKey[first]]));
        if (!words.isEmpty())
            for (const QString& word : words.split(QLatin1Char(' '))) {
                if (!ranked.words.empty())
                    ranked.words += ' ';
                appendLexeme(ranked.words, word.toStdString());
            }
        m_ranked.push_back(std::move(ranked));
        first = end;
    }
    m_blocks.clear();
    m_nameIds = NameTextIds(0);
    m_groupIds = NameTextIds(0);
}

void PgNameRanking::writeRuns(const std::function<void(const std::string&)>& send) const
{
    std::string rows;
    qint64 run = 0;
    for (size_t first = 0; first < m_ranked.size();) {
        const std::string& words = m_ranked[first].words;
        size_t end = first + 1;
        while (end < m_ranked.size() && m_ranked[end].words == words)
            ++end;
        // A name without words matches nothing.
        if (!words.empty()) {
            size_t parts = 0;
            for (size_t at = first; at < end; ++at)
                parts += m_names[m_ranked[at].name].rows.size();
            PgConnection::appendCopyField(rows, std::to_string(++run));
            PgConnection::appendCopyField(rows, std::to_string(parts));
            PgConnection::appendCopyField(rows, words);
            // Digits and commas need no escaping in COPY's text.
            rows += "\t{";
            bool firstRow = true;
            for (size_t at = first; at < end; ++at) {
                for (const quint32 row : m_names[m_ranked[at].name].rows) {
                    char digits[16];
                    const auto written = std::to_chars(digits, digits + sizeof digits, row);
                    if (!firstRow)
                        rows += ',';
                    firstRow = false;
                    rows.append(digits, written.ptr);
                }
            }
            rows += "}\n";
            if (rows.size() >= kCopyChunk) {
                send(rows);
                rows.clear();
            }
        }
        first = end;
    }
    if (!rows.empty())
        send(rows);
}
