#include "SqliteNameIndex.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/KeySpellings.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "core/sqlite/UnmappedReads.h"
#include "core/text/NameWords.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QHash>
#include <QtAlgorithms>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

using Prepared = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Prepared prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (const int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr))
        throw SQLite::Exception(db, result);
    return Prepared(statement, &sqlite3_finalize);
}

void insertRow(sqlite3* db, sqlite3_stmt* insert)
{
    if (const int result = sqlite3_step(insert); result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
    sqlite3_reset(insert);
}

std::string_view text(sqlite3_stmt* query, int column)
{
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return std::string_view(value ? value : "", size_t(sqlite3_column_bytes(query, column)));
}

// Texts kept where they are written until the whole is dropped, in blocks,
// so that views of them stay valid and a million of them cost no million
// allocations.
class TextStore
{
public:
    std::string_view keep(std::string_view text)
    {
        if (m_blocks.empty() || m_used + text.size() > m_size) {
            m_size = std::max(kBlockSize, text.size());
            m_blocks.push_back(std::make_unique<char[]>(m_size));
            m_used = 0;
        }
        char* at = m_blocks.back().get() + m_used;
        std::copy(text.begin(), text.end(), at);
        m_used += text.size();
        return std::string_view(at, text.size());
    }

private:
    static constexpr size_t kBlockSize = size_t(1) << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    size_t m_size = 0;
};

// Different texts numbered from 0 in the order first met. Open addressing
// with each text's hash kept beside its number: a million different names
// are looked up without a node or a comparison of texts per step.
class TextIds
{
public:
    explicit TextIds(size_t expected) { grow(expected); }

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
    void grow(size_t count)
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

    TextStore m_store;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    std::vector<std::string_view> m_texts; // by id
};

// Parts to a row of PART_NAME_ORDER: rows of a few pages.
constexpr quint32 kOrderRowParts = 16384;

constexpr char kSelectGroups[] = "SELECT GROUPCODE, GROUPNAME FROM GROUPS ORDER BY rowid";
constexpr char kSelectGroupCodes[] = "SELECT rowid, GROUPCODE FROM PRICE";

// The parts by their numbers in the order of names, one bit each.
using PartSet = std::vector<quint64>;

void appendNumber(std::string& encoded, quint64 value)
{
    while (value >= 0x80) {
        encoded += char(0x80 | (value & 0x7F));
        value >>= 7;
    }
    encoded += char(value);
}

[[noreturn]] void damaged()
{
    throw Error(
        QCoreApplication::translate("SqliteNameIndex", "Индекс названий повреждён: обновите прайс-лист"));
}

// Calls take with each number of encoded, in 7-bit groups.
template <typename Take> void decode(const void* data, int size, Take&& take)
{
    const auto* encoded = static_cast<const unsigned char*>(data);
    quint64 value = 0;
    int shift = 0;
    for (int i = 0; i < size; ++i) {
        // Rowids take 63 bits at most: nine groups.
        if (shift > 56)
            damaged();
        value |= quint64(encoded[i] & 0x7F) << shift;
        shift += 7;
        if (encoded[i] & 0x80)
            continue;
        take(value);
        value = 0;
        shift = 0;
    }
}

// Adds the parts of a word, as PART_NAME_WORDS keeps them, to set.
void addParts(const void* encoded, int size, PartSet& set)
{
    qint64 part = -1;
    decode(encoded, size, [&](quint64 delta) {
        part += qint64(delta);
        if (part < 0 || size_t(part >> 6) >= set.size())
            damaged();
        set[size_t(part >> 6)] |= quint64(1) << (part & 63);
    });
}

// The PRICE rowids of the parts whose group is not in groups (by folded
// code): the grid does not show them, nor does this search.
std::unordered_set<qint64> partsWithoutGroup(SQLite::Database& db, const QHash<QString, QString>& groups)
{
    std::unordered_set<qint64> without;
    QHash<QByteArray, bool> known; // by the code as spelled: a list has few codes
    SQLite::Statement parts(db, kSelectGroupCodes);
    while (parts.executeStep()) {
        const SQLite::Column code = parts.getColumn(1);
        const QByteArray spelled(static_cast<const char*>(code.getBlob()), code.getBytes());
        auto found = known.constFind(spelled);
        if (found == known.constEnd())
            found = known.insert(spelled, !code.isNull() && groups.contains(UnicodeCaseFolding::fold(
                                                                QString::fromUtf8(spelled))));
        if (!*found)
            without.insert(parts.getColumn(0).getInt64());
    }
    return without;
}

// The names of the groups by their codes folded as the grid joins them; the
// first of groups whose codes differ only in case.
QHash<QString, QString> groupNames(SQLite::Database& db)
{
    QHash<QString, QString> names;
    if (!db.tableExists(Tables::kGroupsTable))
        return names;
    SQLite::Statement groups(db, kSelectGroups);
    while (groups.executeStep()) {
        if (groups.getColumn(0).isNull())
            continue;
        const QString code = UnicodeCaseFolding::fold(QString::fromUtf8(groups.getColumn(0).getText()));
        if (!names.contains(code))
            names.insert(code, QString::fromUtf8(groups.getColumn(1).getText()));
    }
    return names;
}

} // namespace

SqliteNameIndex::SqliteNameIndex(Database& database) : m_database(database)
{}

QStringList SqliteNameIndex::tables()
{
    return {QLatin1String(Schema::kNameWordsTable), QLatin1String(Schema::kNameOrderTable)};
}

bool SqliteNameIndex::exists(SQLite::Database& db)
{
    return db.tableExists(Schema::kNameOrderTable) && db.tableExists(Schema::kNameWordsTable);
}

bool SqliteNameIndex::isBuilt()
{
    return exists(m_database.connection());
}

void SqliteNameIndex::forget()
{
    m_order = {};
    m_wideOrder = {};
    m_groups.clear();
    m_hidden.clear();
    m_dataVersion = -1;
}

void SqliteNameIndex::refresh(SQLite::Database& db)
{
    // Changes whenever another connection has committed to the file.
    const qint64 version = db.execAndGet("PRAGMA data_version").getInt64();
    if (version == m_dataVersion)
        return;
    forget();
    // Room for every part at once: grown by doubling, the order would leave
    // the room it outgrew with the thread's heap.
    const qint64 lastRow =
        db.execAndGet("SELECT coalesce(max(FIRST), 0) FROM " + std::string(Schema::kNameOrderTable))
            .getInt64();
    if (lastRow >= 0 && lastRow <= std::numeric_limits<quint32>::max()) // else damaged, as decoding will say
        m_order.reserve(size_t(lastRow) + kOrderRowParts);
    const Prepared order = prepare(db.getHandle(), Schema::kSelectNameOrder);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(order.get())) == SQLITE_ROW) {
        if (sqlite3_column_int64(order.get(), 0) != qint64(partCount()))
            damaged();
        decode(sqlite3_column_blob(order.get(), 1), sqlite3_column_bytes(order.get(), 1),
               [this](quint64 part) {
                   if (m_wideOrder.empty() && part <= std::numeric_limits<quint32>::max()) {
                       m_order.push_back(quint32(part));
                       return;
                   }
                   if (m_wideOrder.empty()) {
                       m_wideOrder.assign(m_order.begin(), m_order.end());
                       m_order = {};
                   }
                   m_wideOrder.push_back(qint64(part));
               });
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
    m_groups = groupNames(db);
    const std::unordered_set<qint64> without = partsWithoutGroup(db, m_groups);
    if (!without.empty()) {
        m_hidden.assign((partCount() + 63) / 64, 0);
        for (size_t i = 0; i < partCount(); ++i)
            if (without.count(partAt(i)))
                m_hidden[i / 64] |= quint64(1) << (i % 64);
    }
    m_dataVersion = version;
}

NameIndex::Found SqliteNameIndex::find(const QStringList& query, qint64 limit)
{
    Found found;
    if (query.isEmpty())
        return found;
    SQLite::Database& db = m_database.connection();
    if (!exists(db))
        throw Error(QCoreApplication::translate(
            "SqliteNameIndex", "Названия позиций ещё не проиндексированы: обновите прайс-лист"));
    // A search reads all over the file, and the order and every part's
    // group whole after each change of the list: none of it is kept mapped.
    const UnmappedReads unmapped(db);
    // The parts shown and the count from one state of the file.
    db.exec("SAVEPOINT name_search");
    try {
        refresh(db);
        const qint64 parts = qint64(partCount());
        PartSet matching;
        {
            const Prepared words = prepare(db.getHandle(), Schema::kSelectNameWords);
            for (const QString& typed : query) {
                const std::string word = typed.toStdString();
                const std::string bound = KeySpellings::rangeEnd(word);
                PartSet some(size_t(parts + 63) / 64);
                sqlite3_bind_text(words.get(), 1, word.data(), int(word.size()), SQLITE_STATIC);
                sqlite3_bind_text(words.get(), 2, bound.data(), int(bound.size()), SQLITE_STATIC);
                int result = SQLITE_ROW;
                while ((result = sqlite3_step(words.get())) == SQLITE_ROW)
                    addParts(sqlite3_column_blob(words.get(), 0), sqlite3_column_bytes(words.get(), 0), some);
                if (result != SQLITE_DONE)
                    throw SQLite::Exception(db.getHandle(), result);
                sqlite3_reset(words.get());
                if (matching.empty()) {
                    matching = std::move(some);
                } else {
                    for (size_t i = 0; i < matching.size(); ++i)
                        matching[i] &= some[i];
                }
            }
        }
        for (size_t i = 0; i < m_hidden.size(); ++i)
            matching[i] &= ~m_hidden[i];
        for (const quint64 bits : matching)
            found.total += qPopulationCount(bits);

        SQLite::Statement part(db, QStringLiteral("SELECT %1 FROM PRICE P WHERE P.rowid = ?")
                                       .arg(QLatin1String(SqlitePriceCatalogue::kPartColumns))
                                       .toStdString());
        const qint64 shown = limit < 0 ? found.total : std::min(limit, found.total);
        for (size_t i = 0; i < matching.size() && qint64(found.shown.size()) < shown; ++i) {
            for (quint64 bits = matching[i]; bits != 0 && qint64(found.shown.size()) < shown;
                 bits &= bits - 1) {
                part.bind(1, static_cast<int64_t>(partAt(i * 64 + size_t(qCountTrailingZeroBits(bits)))));
                if (!part.executeStep())
                    damaged();
                Match match{SqlitePriceCatalogue::readPart(part), QString()};
                match.groupName = m_groups.value(UnicodeCaseFolding::fold(match.part.groupCode));
                found.shown.push_back(std::move(match));
                part.reset();
            }
        }
        db.exec("RELEASE name_search");
    } catch (...) {
        db.exec("ROLLBACK TO name_search");
        db.exec("RELEASE name_search");
        throw;
    }
    return found;
}

namespace {

// The parts as the index orders them: by their names folded, then by
// PARTNUMBER and GROUPCODE in UTF-8 (whose byte order is code-point order)
// each ended by a zero byte, so that a shorter one sorts first, then by the
// file's order; all but the last in one text, whose first field SQLite's
// sorter compares with one memcmp. It sorts runs as large as the cache,
// writes them to a temporary file and merges them: a small cache takes
// little memory, and helper threads sort the runs while the table is read.
// A name goes along only where its words may differ from its key's.
constexpr char kOrderFunction[] = "tardesk_name_order";
constexpr char kOddNameFunction[] = "tardesk_odd_name";
constexpr char kSelectInNameOrder[] =
    "SELECT rowid, tardesk_name_order(PARTNAME, PARTNUMBER, GROUPCODE) AS NAME_ORDER, "
    "tardesk_odd_name(PARTNAME) FROM PRICE ORDER BY NAME_ORDER, rowid";

constexpr char kSelectPartNames[] = "SELECT PARTNAME FROM PRICE";
constexpr char kSelectParts[] = "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE";

constexpr char kDropPartChunks[] = "DROP TABLE IF EXISTS temp.NAME_PART_CHUNKS";
constexpr char kCreatePartChunks[] =
    "CREATE TEMP TABLE NAME_PART_CHUNKS (ID INTEGER PRIMARY KEY, PARTS BLOB NOT NULL)";
constexpr char kInsertPartChunk[] = "INSERT INTO temp.NAME_PART_CHUNKS (ID, PARTS) VALUES (?, ?)";
constexpr char kSelectPartChunks[] =
    "SELECT PARTS FROM temp.NAME_PART_CHUNKS WHERE ID >= ? AND ID < ? ORDER BY ID";

constexpr char kDropWordRuns[] = "DROP TABLE IF EXISTS temp.NAME_WORD_RUNS";
constexpr char kCreateWordRuns[] =
    "CREATE TEMP TABLE NAME_WORD_RUNS (WORD TEXT NOT NULL, RUN INTEGER NOT NULL, "
    "LAST INTEGER NOT NULL, PARTS BLOB NOT NULL, PRIMARY KEY (WORD, RUN)) "
    "WITHOUT ROWID";
constexpr char kInsertWordRun[] =
    "INSERT INTO temp.NAME_WORD_RUNS (WORD, RUN, LAST, PARTS) VALUES (?, ?, ?, ?)";
constexpr char kSelectWordRuns[] = "SELECT WORD, LAST, PARTS FROM temp.NAME_WORD_RUNS ORDER BY WORD, RUN";

std::string_view valueText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(text ? text : "", size_t(sqlite3_value_bytes(value)));
}

// Whether the words of name are those of its folded key: so for names
// written in Latin-1 and the Russian letters, whose case folding gives
// letters that composition leaves alone and folding again keeps.
bool wordsFollowKey(std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        const auto lead = uchar(name[i]);
        if (lead < 0x80)
            continue;
        const auto next = i + 1 < name.size() ? uchar(name[i + 1]) : uchar(0);
        if (next < 0x80 || next > 0xBF)
            return false;
        // U+0080 to U+00FF, U+0400 to U+045F
        if (lead != 0xC2 && lead != 0xC3 && lead != 0xD0 && !(lead == 0xD1 && next <= 0x9F))
            return false;
        ++i;
    }
    return true;
}

// key with its bytes 0 and 1 written as 1 1 and 1 2, and ended by a 0: the
// order of keys is kept, and none is a prefix of another.
void appendEscaped(std::string& target, std::string_view key)
{
    for (const char c : key) {
        if (uchar(c) < 2) {
            target += '\1';
            target += char(c + 1);
        } else {
            target += c;
        }
    }
    target += '\0';
}

// The key of an ordered text, up to its ending zero.
std::string unescapedKey(std::string_view ordered)
{
    std::string key;
    for (size_t i = 0; i < ordered.size() && ordered[i] != '\0'; ++i)
        key += ordered[i] == '\1' && i + 1 < ordered.size() ? char(ordered[++i] - 1) : ordered[i];
    return key;
}

// The SQL functions the order of parts is worked out with, registered on
// the connection while the index is built. Lists repeat names a lot: the
// names last met are kept with their keys, so that most are folded once.
class OrderFunctions
{
public:
    explicit OrderFunctions(sqlite3* db) : m_db(db)
    {
        const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
        int result = sqlite3_create_function_v2(db, kOrderFunction, 3, flags, this, &ordered, nullptr,
                                                nullptr, nullptr);
        if (result == SQLITE_OK)
            result = sqlite3_create_function_v2(db, kOddNameFunction, 1, flags, nullptr, &oddName, nullptr,
                                                nullptr, nullptr);
        if (result != SQLITE_OK) {
            SQLite::Exception error(db, result);
            remove();
            throw error;
        }
    }
    ~OrderFunctions() { remove(); }
    OrderFunctions(const OrderFunctions&) = delete;
    OrderFunctions& operator=(const OrderFunctions&) = delete;

private:
    static constexpr size_t kKeptNames = 65536;

    void remove()
    {
        sqlite3_create_function_v2(m_db, kOrderFunction, 3, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
        sqlite3_create_function_v2(m_db, kOddNameFunction, 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
    }

    // The key of name, escaped.
    const std::string& keyOf(std::string_view name)
    {
        const auto escapedKey = [name](std::string& target) {
            appendEscaped(
                target,
                NameWords::orderKey(QString::fromUtf8(name.data(), qsizetype(name.size()))).toStdString());
        };
        if (!m_keeping) {
            m_key.clear();
            escapedKey(m_key);
            return m_key;
        }
        if (m_keys.size() >= kKeptNames) {
            // Names that hardly repeat are not worth keeping.
            m_keeping = m_repeats >= m_keys.size();
            m_names = TextIds(m_keeping ? kKeptNames : 0);
            m_keys = {};
            m_repeats = 0;
            return keyOf(name);
        }
        const quint32 id = m_names.idOf(name);
        if (id == m_keys.size())
            escapedKey(m_keys.emplace_back());
        else
            ++m_repeats;
        return m_keys[id];
    }

    // The escaped key of the name, PARTNUMBER, a zero byte and GROUPCODE.
    static void ordered(sqlite3_context* context, int, sqlite3_value** values)
    {
        try {
            auto* self = static_cast<OrderFunctions*>(sqlite3_user_data(context));
            std::string& joined = self->m_ordered;
            joined.assign(self->keyOf(valueText(values[0])));
            joined += valueText(values[1]);
            joined += '\0';
            joined += valueText(values[2]);
            sqlite3_result_text64(context, joined.data(), joined.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        } catch (...) {
            sqlite3_result_error_nomem(context);
        }
    }

    // The name where its words may differ from its key's, else NULL.
    static void oddName(sqlite3_context* context, int, sqlite3_value** values)
    {
        const std::string_view name = valueText(values[0]);
        if (!wordsFollowKey(name))
            sqlite3_result_text64(context, name.data(), name.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }

    sqlite3* m_db;
    TextIds m_names{kKeptNames};
    std::vector<std::string> m_keys; // by id in m_names
    size_t m_repeats = 0;            // of names kept
    bool m_keeping = true;
    std::string m_key;
    std::string m_ordered;
};

// The first number of encoded; used: how many bytes it takes.
quint64 firstNumber(std::string_view encoded, size_t& used)
{
    quint64 value = 0;
    // Rowids take 63 bits at most: nine groups.
    for (size_t i = 0; i < encoded.size() && i < 9; ++i) {
        value |= quint64(encoded[i] & 0x7F) << (7 * i);
        if (!(encoded[i] & 0x80)) {
            used = i + 1;
            return value;
        }
    }
    damaged();
}

// The parts of each word as PART_NAME_WORDS keeps them, gathered while the
// parts come by their numbers, ascending. When they outgrow their bound (a
// list whose names nearly all differ can have a different word for every
// part) those gathered so far go out to a temporary table as a run, and the
// runs of each word are joined when the index is written.
class WordParts
{
public:
    WordParts(SQLite::Database& database, size_t bound) : m_database(database), m_bound(bound) {}
    ~WordParts()
    {
        if (m_runs > 0)
            sqlite3_exec(m_database.getHandle(), kDropWordRuns, nullptr, nullptr, nullptr);
    }
    WordParts(const WordParts&) = delete;
    WordParts& operator=(const WordParts&) = delete;

    // Valid until spill().
    quint32 idOf(std::string_view word)
    {
        const quint32 id = m_words.idOf(word);
        if (id == m_parts.size()) {
            m_parts.emplace_back();
            m_bytes += kBytesPerWord + word.size();
        }
        return id;
    }
    void add(quint32 word, quint32 number)
    {
        Parts& parts = m_parts[word];
        const size_t before = parts.encoded.capacity();
        appendNumber(parts.encoded, quint64(qint64(number) - parts.last));
        parts.last = number;
        m_bytes += parts.encoded.capacity() - before;
    }
    bool full() const { return m_bytes > m_bound; }
    void spill()
    {
        if (m_runs == 0) {
            m_database.exec(kDropWordRuns);
            m_database.exec(kCreateWordRuns);
        }
        const Prepared insert = prepare(m_database.getHandle(), kInsertWordRun);
        for (const quint32 word : inOrder()) {
            const std::string_view text = m_words.texts()[word];
            sqlite3_bind_text(insert.get(), 1, text.data(), int(text.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert.get(), 2, m_runs);
            sqlite3_bind_int64(insert.get(), 3, m_parts[word].last);
            sqlite3_bind_blob(insert.get(), 4, m_parts[word].encoded.data(),
                              int(m_parts[word].encoded.size()), SQLITE_STATIC);
            insertRow(m_database.getHandle(), insert.get());
        }
        ++m_runs;
        m_words = TextIds(0);
        m_parts = {};
        m_bytes = 0;
    }
    // Adds every word with its parts through insert, in the order of words.
    void write(sqlite3_stmt* insert)
    {
        sqlite3* db = m_database.getHandle();
        const auto add = [&](std::string_view word, std::string_view encoded) {
            sqlite3_bind_text(insert, 1, word.data(), int(word.size()), SQLITE_STATIC);
            sqlite3_bind_blob(insert, 2, encoded.data(), int(encoded.size()), SQLITE_STATIC);
            insertRow(db, insert);
        };
        if (m_runs == 0) {
            for (const quint32 word : inOrder())
                add(m_words.texts()[word], m_parts[word].encoded);
            return;
        }
        if (!m_parts.empty())
            spill();
        const Prepared runs = prepare(db, kSelectWordRuns);
        std::string word;
        std::string encoded;
        qint64 last = -1;
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(runs.get())) == SQLITE_ROW) {
            const std::string_view runWord = text(runs.get(), 0);
            if (runWord != word && !encoded.empty()) {
                add(word, encoded);
                encoded.clear();
                last = -1;
            }
            word.assign(runWord);
            // A run counts its word's first part from -1; here it follows the run before.
            const auto* data = static_cast<const char*>(sqlite3_column_blob(runs.get(), 2));
            const std::string_view run(data ? data : "", size_t(sqlite3_column_bytes(runs.get(), 2)));
            size_t used = 0;
            const qint64 first = qint64(firstNumber(run, used)) - 1;
            appendNumber(encoded, quint64(first - last));
            encoded += run.substr(used);
            last = sqlite3_column_int64(runs.get(), 1);
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
        if (!encoded.empty())
            add(word, encoded);
    }

private:
    // What a word costs besides its text and parts: its entries in m_words and m_parts.
    static constexpr size_t kBytesPerWord = 112;

    struct Parts
    {
        std::string encoded;
        qint64 last = -1;
    };

    // The ids of the words by their texts: each row goes at the end of its B-tree.
    std::vector<quint32> inOrder() const
    {
        std::vector<quint32> order(m_parts.size());
        for (size_t id = 0; id < order.size(); ++id)
            order[id] = quint32(id);
        const std::vector<std::string_view>& texts = m_words.texts();
        std::sort(order.begin(), order.end(), [&texts](quint32 a, quint32 b) { return texts[a] < texts[b]; });
        return order;
    }

    SQLite::Database& m_database;
    size_t m_bound;
    TextIds m_words{0};
    std::vector<Parts> m_parts; // by id in m_words
    size_t m_bytes = 0;
    qint64 m_runs = 0;
};

// The different words of name, each once.
std::vector<std::string> wordsOf(std::string_view name)
{
    std::vector<std::string> words;
    const QString written = QString::fromUtf8(name.data(), qsizetype(name.size()));
    for (const QString& word : NameWords::indexed(written).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        std::string spelled = word.toStdString();
        if (std::find(words.begin(), words.end(), spelled) == words.end())
            words.push_back(std::move(spelled));
    }
    return words;
}

// Writes the index from the parts given in the order of names.
class IndexWriter
{
public:
    IndexWriter(SQLite::Database& database, std::string_view prefix,
                const PriceListRebuild::Listener& listener, qint64 count, size_t wordPartsBytes)
        : m_database(database),
          m_order(
              prepare(database.getHandle(),
                      Schema::prefixed(Schema::kInsertNameOrder, Schema::kNameOrderTable, prefix).c_str())),
          m_insertWord(
              prepare(database.getHandle(),
                      Schema::prefixed(Schema::kInsertNameWord, Schema::kNameWordsTable, prefix).c_str())),
          m_words(database, wordPartsBytes), m_listener(listener), m_count(count)
    {}

    // The name of the parts added next, when it differs from the one before.
    void setName(std::string_view name)
    {
        m_nameWords = wordsOf(name);
        m_ids.clear();
    }
    void add(qint64 part)
    {
        appendNumber(m_encoded, quint64(part));
        if (m_ids.size() != m_nameWords.size()) {
            for (const std::string& word : m_nameWords)
                m_ids.push_back(m_words.idOf(word));
        }
        for (const quint32 id : m_ids)
            m_words.add(id, m_number);
        if (m_words.full()) {
            m_words.spill();
            m_ids.clear();
        }
        if (++m_number % kOrderRowParts == 0) {
            flush(m_number - kOrderRowParts);
            if (m_listener.progress)
                m_listener.progress(m_number, m_count);
        }
    }
    void finish()
    {
        if (!m_encoded.empty())
            flush(m_number - m_number % kOrderRowParts);
        m_words.write(m_insertWord.get());
    }

private:
    void flush(quint32 first)
    {
        sqlite3_bind_int64(m_order.get(), 1, first);
        sqlite3_bind_blob(m_order.get(), 2, m_encoded.data(), int(m_encoded.size()), SQLITE_STATIC);
        insertRow(m_database.getHandle(), m_order.get());
        m_encoded.clear();
    }

    SQLite::Database& m_database;
    Prepared m_order;
    Prepared m_insertWord;
    WordParts m_words;
    const PriceListRebuild::Listener& m_listener;
    qint64 m_count;
    std::string m_encoded; // the rowids of the row of PART_NAME_ORDER being filled
    std::vector<std::string> m_nameWords;
    std::vector<quint32> m_ids; // of m_nameWords in m_words, once looked up
    quint32 m_number = 0;
};

// Orders the parts by SQLite's sorter, for lists whose different names are
// too many to keep: the parts of one key still come together, so each
// key's words are read about once.
void writeSorted(SQLite::Database& database, std::string_view prefix, IndexWriter& writer)
{
    sqlite3* db = database.getHandle();
    OrderFunctions functions(db);
    const Prepared parts =
        prepare(db, Schema::prefixed(kSelectInNameOrder, Tables::kPriceTable, prefix).c_str());
    std::string source;
    bool sourceOdd = false;
    bool first = true;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(parts.get())) == SQLITE_ROW) {
        const std::string_view ordered = text(parts.get(), 1);
        const bool odd = sqlite3_column_type(parts.get(), 2) != SQLITE_NULL;
        const std::string_view from = odd ? text(parts.get(), 2) : ordered.substr(0, ordered.find('\0'));
        if (first || odd != sourceOdd || from != source) {
            source.assign(from);
            sourceOdd = odd;
            first = false;
            writer.setName(odd ? source : unescapedKey(source));
        }
        writer.add(sqlite3_column_int64(parts.get(), 0));
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
}

// The different names of a list and the parts of each, when there are at
// most kept of them.
struct ListNames
{
    TextIds names{1024};
    std::vector<quint32> parts; // by id in names
    qint64 count = 0;

    bool read(sqlite3* db, const std::string& select, size_t kept)
    {
        const Prepared query = prepare(db, select.c_str());
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(query.get())) == SQLITE_ROW) {
            const quint32 id = names.idOf(text(query.get(), 0));
            if (id == parts.size()) {
                if (parts.size() == kept)
                    return false;
                parts.push_back(0);
            }
            ++parts[id];
            ++count;
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
        return true;
    }
};

// Records of parts kept apart in buckets, in chunks in a temporary table
// once a bucket's chunk is full, to be read back a bucket at a time.
class PartBuckets
{
public:
    PartBuckets(SQLite::Database& database, size_t buckets)
        : m_database(database), m_pending(buckets), m_chunks(buckets)
    {}
    ~PartBuckets()
    {
        if (m_insert)
            sqlite3_exec(m_database.getHandle(), kDropPartChunks, nullptr, nullptr, nullptr);
    }
    PartBuckets(const PartBuckets&) = delete;
    PartBuckets& operator=(const PartBuckets&) = delete;

    void append(size_t bucket, std::string_view record)
    {
        std::string& pending = m_pending[bucket];
        pending += record;
        if (pending.size() >= kChunkBytes)
            write(bucket);
    }
    // Every record of bucket, in the order appended; the bucket is emptied.
    std::string take(size_t bucket)
    {
        std::string records;
        if (m_chunks[bucket] > 0) {
            const Prepared chunks = prepare(m_database.getHandle(), kSelectPartChunks);
            sqlite3_bind_int64(chunks.get(), 1, qint64(bucket) << 32);
            sqlite3_bind_int64(chunks.get(), 2, qint64(bucket + 1) << 32);
            int result = SQLITE_ROW;
            while ((result = sqlite3_step(chunks.get())) == SQLITE_ROW)
                records.append(static_cast<const char*>(sqlite3_column_blob(chunks.get(), 0)),
                               size_t(sqlite3_column_bytes(chunks.get(), 0)));
            if (result != SQLITE_DONE)
                throw SQLite::Exception(m_database.getHandle(), result);
        }
        records += m_pending[bucket];
        m_pending[bucket] = std::string();
        return records;
    }

private:
    static constexpr size_t kChunkBytes = size_t(1) << 18;

    void write(size_t bucket)
    {
        if (!m_insert) {
            m_database.exec(kDropPartChunks);
            m_database.exec(kCreatePartChunks);
            m_insert = prepare(m_database.getHandle(), kInsertPartChunk);
        }
        sqlite3_bind_int64(m_insert.get(), 1, (qint64(bucket) << 32) + m_chunks[bucket]++);
        sqlite3_bind_blob(m_insert.get(), 2, m_pending[bucket].data(), int(m_pending[bucket].size()),
                          SQLITE_STATIC);
        insertRow(m_database.getHandle(), m_insert.get());
        m_pending[bucket].clear();
    }

    SQLite::Database& m_database;
    std::vector<std::string> m_pending;
    std::vector<qint64> m_chunks; // how many each bucket has in the table
    Prepared m_insert{nullptr, &sqlite3_finalize};
};

// A part as the index orders it: by its name's place among the names
// folded, then by PARTNUMBER and GROUPCODE in UTF-8, each ended by a zero
// byte, then by the file's order.
struct Entry
{
    quint32 place = 0; // equal for names equal when folded
    quint32 name = 0;
    qint64 part = 0;
    quint32 numberAndGroup = 0; // in the bucket's records
    quint32 length = 0;
};

// Orders the parts of a list of few different names: each name's place
// among the keys is worked out once, and the parts, bucketed by ranges of
// places, are sorted a bucket at a time.
void writeBucketed(SQLite::Database& database, std::string_view prefix, ListNames& list, qint64 bucketParts,
                   IndexWriter& writer)
{
    const size_t nameCount = list.parts.size();
    std::vector<quint32> place(nameCount);
    std::vector<quint32> bucketOf(nameCount);
    size_t buckets = 0;
    {
        TextStore keyStore;
        std::vector<std::string_view> keys(nameCount);
        for (size_t id = 0; id < nameCount; ++id) {
            const std::string_view name = list.names.texts()[id];
            keys[id] = keyStore.keep(
                NameWords::orderKey(QString::fromUtf8(name.data(), qsizetype(name.size()))).toStdString());
        }
        std::vector<quint32> byKey(nameCount);
        for (size_t id = 0; id < nameCount; ++id)
            byKey[id] = quint32(id);
        std::sort(byKey.begin(), byKey.end(), [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });
        // Equal folded names share a place, and a bucket.
        qint64 inBucket = 0;
        for (size_t i = 0; i < nameCount; ++i) {
            const bool same = i > 0 && keys[byKey[i]] == keys[byKey[i - 1]];
            if (!same && inBucket >= bucketParts) {
                ++buckets;
                inBucket = 0;
            }
            place[byKey[i]] = same ? place[byKey[i - 1]] : quint32(i);
            bucketOf[byKey[i]] = quint32(buckets);
            inBucket += list.parts[byKey[i]];
        }
        ++buckets;
    }

    sqlite3* db = database.getHandle();
    PartBuckets parts(database, buckets);
    {
        const Prepared query =
            prepare(db, Schema::prefixed(kSelectParts, Tables::kPriceTable, prefix).c_str());
        std::string record;
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(query.get())) == SQLITE_ROW) {
            const quint32 name = list.names.idOf(text(query.get(), 1));
            if (name >= nameCount)
                throw SQLite::Exception("PRICE changed while its names were indexed", SQLITE_CORRUPT);
            const qint64 part = sqlite3_column_int64(query.get(), 0);
            record.assign(reinterpret_cast<const char*>(&name), sizeof name);
            record.append(reinterpret_cast<const char*>(&part), sizeof part);
            const std::string_view number = text(query.get(), 2);
            const std::string_view group = text(query.get(), 3);
            const quint32 length = quint32(number.size() + 1 + group.size());
            record.append(reinterpret_cast<const char*>(&length), sizeof length);
            record += number;
            record += '\0';
            record += group;
            parts.append(bucketOf[name], record);
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
    }

    std::vector<Entry> entries;
    for (size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::string records = parts.take(bucket);
        entries.clear();
        for (size_t at = 0; at < records.size();) {
            Entry entry;
            std::memcpy(&entry.name, records.data() + at, sizeof entry.name);
            std::memcpy(&entry.part, records.data() + at + 4, sizeof entry.part);
            std::memcpy(&entry.length, records.data() + at + 12, sizeof entry.length);
            entry.numberAndGroup = quint32(at + 16);
            entry.place = place[entry.name];
            entries.push_back(entry);
            at += 16 + entry.length;
        }
        const std::string_view all(records);
        std::sort(entries.begin(), entries.end(), [all](const Entry& a, const Entry& b) {
            if (a.place != b.place)
                return a.place < b.place;
            const int order =
                all.substr(a.numberAndGroup, a.length).compare(all.substr(b.numberAndGroup, b.length));
            return order != 0 ? order < 0 : a.part < b.part;
        });
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i == 0 || entries[i].name != entries[i - 1].name)
                writer.setName(list.names.texts()[entries[i].name]);
            writer.add(entries[i].part);
        }
    }
}

} // namespace

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener,
                            std::string_view prefix)
{
    build(database, listener, prefix, Bounds());
}

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener,
                            std::string_view prefix, const Bounds& bounds)
{
    const auto named = [prefix](std::string_view statement, std::string_view table) {
        return Schema::prefixed(statement, table, prefix);
    };
    database.exec(named(Schema::kCreateNameWords, Schema::kNameWordsTable));
    database.exec(named(Schema::kCreateNameOrder, Schema::kNameOrderTable));
    // Lists repeat names a lot, and their parts are ordered fastest by the
    // places of their names; a list of names nearly all different is left
    // to SQLite's sorter, which keeps none of them.
    auto list = std::make_unique<ListNames>();
    if (list->read(database.getHandle(), named(kSelectPartNames, Tables::kPriceTable), bounds.keptNames)) {
        IndexWriter writer(database, prefix, listener, list->count, bounds.wordPartsBytes);
        writeBucketed(database, prefix, *list, bounds.bucketParts, writer);
        writer.finish();
    } else {
        list.reset();
        const std::string price = std::string(prefix) + Tables::kPriceTable;
        const qint64 count = database.execAndGet("SELECT count(*) FROM " + price).getInt64();
        IndexWriter writer(database, prefix, listener, count, bounds.wordPartsBytes);
        writeSorted(database, prefix, writer);
        writer.finish();
    }
}
