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
#include <string_view>
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

// The runs of a list's names: each distinct name with words, its place in
// the order of names and its run. Names equal but for case fold to the same
// words, so a run is one name or several consecutive ones with equal words.
std::string nameRuns(const std::vector<std::string_view>& names)
{
    struct Name
    {
        std::string_view text;
        std::string key; // in UTF-8, whose byte order is code-point order
        std::string words;
    };
    std::vector<Name> named;
    named.reserve(names.size());
    for (const std::string_view text : names) {
        const QString name = QString::fromUtf8(text.data(), qsizetype(text.size()));
        named.push_back(
            {text, NameWords::orderKey(name).toStdString(), NameWords::indexed(name).toStdString()});
    }
    std::sort(named.begin(), named.end(), [](const Name& a, const Name& b) { return a.key < b.key; });

    std::string rows;
    qint64 run = 0;
    size_t rank = 0;
    const Name* previous = nullptr;
    for (size_t at = 0; at < named.size(); ++at) {
        const Name& name = named[at];
        if (at == 0 || name.key != named[at - 1].key)
            rank = at;
        // A name without words matches nothing, and parts of it part the runs around.
        if (name.words.empty()) {
            previous = nullptr;
            continue;
        }
        if (!previous || previous->words != name.words)
            ++run;
        previous = &name;
        std::string vector;
        for (size_t from = 0; from <= name.words.size();) {
            const size_t space = std::min(name.words.find(' ', from), name.words.size());
            if (!vector.empty())
                vector += ' ';
            appendLexeme(vector, std::string_view(name.words).substr(from, space - from));
            from = space + 1;
        }
        PgConnection::appendCopyField(rows, name.text);
        PgConnection::appendCopyField(rows, std::to_string(run));
        PgConnection::appendCopyField(rows, std::to_string(rank));
        PgConnection::appendCopyField(rows, vector);
        rows += '\n';
    }
    return rows;
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
                        const PriceListRebuild::Listener& listener, const PgListNames* names)
{
    const std::string price = "PRICE" + suffix;
    const std::string runs = "NAME_RUNS" + suffix;
    const qint64 count = listener.progress ? db.exec("SELECT count(*) FROM " + price).integer(0, 0) : 0;
    if (listener.progress)
        listener.progress(0, count);
    PgListNames read;
    if (!names) {
        db.withLongDeadline([&] {
            const PgResult rows =
                db.exec("SELECT DISTINCT PARTNAME FROM " + price + " WHERE PARTNAME IS NOT NULL");
            for (int row = 0; row < rows.rows(); ++row)
                read.add(rows.text(row, 0));
        });
        names = &read;
    }
    const std::string named = nameRuns(names->names());
    stopIfAsked(listener);

    db.exec("CREATE TABLE " + runs +
            " (RUN_NO integer NOT NULL, PARTS integer NOT NULL, WORDS tsvector "
            "NOT NULL, ROW_NOS bigint[] "
            "NOT NULL)");
    db.exec("CREATE TEMPORARY TABLE TARDESK_NAMES (NAME text NOT NULL, RUN_NO integer NOT NULL, RANK integer "
            "NOT NULL, WORDS tsvector NOT NULL) ON COMMIT DROP");
    db.withLongDeadline([&] {
        db.beginCopy("COPY TARDESK_NAMES FROM STDIN");
        for (size_t at = 0; at < named.size(); at += kCopyChunk)
            db.putCopyData(std::string_view(named).substr(at, kCopyChunk));
        db.endCopy();
        // The server puts the parts in order, name by name: the list's parts
        // never come back, and only its names are held here. Room to sort
        // them in memory.
        db.execScript("SET LOCAL work_mem = '256MB'; ANALYZE TARDESK_NAMES");
        db.exec(
            "INSERT INTO " + runs +
            " SELECT R.RUN_NO, R.PARTS, W.WORDS, R.ROW_NOS FROM (SELECT N.RUN_NO, count(*)::integer AS "
            "PARTS, "
            "array_agg(P.ROW_NO ORDER BY N.RANK, coalesce(P.PARTNUMBER, '') COLLATE \"C\", "
            "coalesce(P.GROUPCODE, '') COLLATE \"C\", P.ROW_NO) AS ROW_NOS FROM " +
            price +
            " P JOIN TARDESK_NAMES N ON N.NAME = P.PARTNAME GROUP BY N.RUN_NO) R JOIN (SELECT DISTINCT ON "
            "(RUN_NO) RUN_NO, WORDS FROM TARDESK_NAMES ORDER BY RUN_NO) W ON W.RUN_NO = R.RUN_NO ORDER BY "
            "R.RUN_NO");
        stopIfAsked(listener);
        // No index on RUN_NO, so that the order of runs never tempts the
        // planner into walking all of them for the first few matches. No
        // statistics of the row numbers, which no query filters by and which
        // would take ANALYZE many times longer than the rest.
        db.execScript("DROP TABLE TARDESK_NAMES; CREATE INDEX " + runs + "_WORDS ON " + runs +
                      " USING gin (WORDS); CREATE INDEX " + price + "_ROW_NO ON " + price +
                      " (ROW_NO); ALTER TABLE " + runs + " ALTER ROW_NOS SET STATISTICS 0; ANALYZE " + runs);
    });
    if (listener.progress)
        listener.progress(count, count);
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

void PgListNames::add(std::string_view name)
{
    if (m_seen.find(name) != m_seen.end())
        return;
    m_names.emplace_back(name);
    m_seen.insert(m_names.back());
}

std::vector<std::string_view> PgListNames::names() const
{
    return {m_names.begin(), m_names.end()};
}
