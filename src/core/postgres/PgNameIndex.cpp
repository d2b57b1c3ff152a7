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
#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

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

// The parts of a list in the order of names, gathered name by name: a
// list repeats its names, whose order and words are worked out once each.
class NameRanking
{
public:
    void add(qint64 row, std::string_view name, std::string_view number, std::string_view group)
    {
        auto found = m_nameIds.find(name);
        if (found == m_nameIds.end()) {
            m_names.emplace_back(name);
            found = m_nameIds.emplace(m_names.back(), quint32(m_names.size() - 1)).first;
        }
        // PARTNUMBER, then GROUPCODE: a zero byte between sorts the shorter first.
        const size_t tail = m_tails.size();
        m_tails += number;
        m_tails += '\0';
        m_tails += group;
        m_parts.push_back({row, found->second, 0, tail, quint32(m_tails.size() - tail)});
    }

    qint64 size() const { return qint64(m_parts.size()); }

    // Puts the parts in order and marks where the words change.
    void finish()
    {
        const size_t count = m_names.size();
        std::vector<std::string> keys(count);
        m_wordsOf.assign(count, kNoWords);
        std::unordered_map<std::string, quint32> wordIds;
        for (size_t id = 0; id < count; ++id) {
            const QString name = QString::fromStdString(m_names[id]);
            // In UTF-8, whose byte order is code-point order.
            keys[id] = NameWords::orderKey(name).toStdString();
            const QString words = NameWords::indexed(name);
            if (words.isEmpty())
                continue;
            std::string vector;
            for (const QString& word : words.split(QLatin1Char(' '))) {
                if (!vector.empty())
                    vector += ' ';
                appendLexeme(vector, word.toStdString());
            }
            const auto [at, added] = wordIds.emplace(std::move(vector), quint32(m_words.size()));
            if (added)
                m_words.push_back(at->first);
            m_wordsOf[id] = at->second;
        }

        std::vector<quint32> byKey(count);
        for (size_t id = 0; id < count; ++id)
            byKey[id] = quint32(id);
        std::sort(byKey.begin(), byKey.end(), [&](quint32 a, quint32 b) { return keys[a] < keys[b]; });
        std::vector<quint32> rank(count);
        for (size_t at = 0; at < count; ++at)
            rank[byKey[at]] =
                at > 0 && keys[byKey[at]] == keys[byKey[at - 1]] ? rank[byKey[at - 1]] : quint32(at);

        for (Part& part : m_parts)
            part.rank = rank[part.name];
        std::sort(m_parts.begin(), m_parts.end(), [this](const Part& a, const Part& b) {
            if (a.rank != b.rank)
                return a.rank < b.rank;
            const int order = tail(a).compare(tail(b));
            return order != 0 ? order < 0 : a.row < b.row;
        });
    }

    // The runs of parts with the same words, in order, as rows for COPY
    // into NAME_RUNS, handed over a chunk at a time.
    template <typename Send> void writeRuns(Send send)
    {
        std::string rows;
        qint64 run = 0;
        for (size_t first = 0; first < m_parts.size();) {
            const quint32 words = m_wordsOf[m_parts[first].name];
            size_t end = first + 1;
            while (end < m_parts.size() && m_wordsOf[m_parts[end].name] == words)
                ++end;
            // A name without words matches nothing.
            if (words != kNoWords) {
                PgConnection::appendCopyField(rows, std::to_string(++run));
                PgConnection::appendCopyField(rows, std::to_string(end - first));
                PgConnection::appendCopyField(rows, m_words[words]);
                // Digits and commas need no escaping in COPY's text.
                rows += "\t{";
                for (size_t at = first; at < end; ++at) {
                    char digits[24];
                    const auto written = std::to_chars(digits, digits + sizeof digits, m_parts[at].row);
                    if (at > first)
                        rows += ',';
                    rows.append(digits, written.ptr);
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

private:
    static constexpr quint32 kNoWords = UINT32_MAX;

    struct Part
    {
        qint64 row;
        quint32 name;
        quint32 rank;
        size_t tail;
        quint32 tailLength;
    };

    std::string_view tail(const Part& part) const
    {
        return std::string_view(m_tails).substr(part.tail, part.tailLength);
    }

    std::deque<std::string> m_names; // stays in place for the views below
    std::unordered_map<std::string_view, quint32> m_nameIds;
    std::string m_tails;
    std::vector<Part> m_parts;
    std::vector<quint32> m_wordsOf;   // by name: the words' id, or kNoWords
    std::vector<std::string> m_words; // each as a tsvector
};

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
                        const PriceListRebuild::Listener& listener)
{
    const std::string price = "PRICE" + suffix;
    const std::string runs = "NAME_RUNS" + suffix;
    const qint64 count = listener.progress ? db.exec("SELECT count(*) FROM " + price).integer(0, 0) : 0;
    NameRanking ranking;
    db.exec("DECLARE tardesk_names NO SCROLL CURSOR FOR SELECT ROW_NO, PARTNAME, "
            "PARTNUMBER, GROUPCODE FROM " +
            price);
    for (;;) {
        const PgResult rows = db.exec("FETCH " + std::to_string(kRowsPerFetch) + " FROM tardesk_names");
        for (int row = 0; row < rows.rows(); ++row)
            ranking.add(rows.integer(row, 0), rows.text(row, 1), rows.text(row, 2), rows.text(row, 3));
        stopIfAsked(listener);
        if (listener.progress)
            listener.progress(ranking.size(), count);
        if (rows.rows() < kRowsPerFetch)
            break;
    }
    db.exec("CLOSE tardesk_names");
    ranking.finish();
    stopIfAsked(listener);

    db.exec("CREATE TABLE " + runs +
            " (RUN_NO integer NOT NULL, PARTS integer NOT NULL, WORDS tsvector "
            "NOT NULL, ROW_NOS bigint[] "
            "NOT NULL)");
    db.withLongDeadline([&] {
        // FREEZE: made in this transaction, the rows need no second write to be
        // seen by all.
        db.beginCopy("COPY " + runs + " FROM STDIN (FREEZE)");
        ranking.writeRuns([&](const std::string& rows) { db.putCopyData(rows); });
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
