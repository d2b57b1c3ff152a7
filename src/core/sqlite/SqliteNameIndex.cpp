#include "SqliteNameIndex.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/KeySpellings.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "core/text/NameWords.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QHash>
#include <QtAlgorithms>

#include <algorithm>
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

// A part as the index orders it: by its name's place among the names
// folded, then by PARTNUMBER and GROUPCODE in UTF-8 (whose byte order is
// code-point order) each ended by a zero byte, so that a shorter one sorts
// first, then by the file's order.
struct Entry
{
    quint32 place = 0; // equal for names equal when folded
    quint32 name = 0;
    size_t numberAndGroup = 0; // in Entries::texts
    quint32 length = 0;
    qint64 part = 0;
};

struct Entries
{
    std::vector<Entry> all;
    std::string texts; // PARTNUMBER, zero, GROUPCODE of each, back to back

    std::string_view numberAndGroup(const Entry& entry) const
    {
        return std::string_view(texts).substr(entry.numberAndGroup, entry.length);
    }
    void sort()
    {
        std::sort(all.begin(), all.end(), [this](const Entry& a, const Entry& b) {
            if (a.place != b.place)
                return a.place < b.place;
            const int order = numberAndGroup(a).compare(numberAndGroup(b));
            return order != 0 ? order < 0 : a.part < b.part;
        });
    }
};

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

constexpr char kSelectNames[] = "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE";
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
    m_order.clear();
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
    const Prepared order = prepare(db.getHandle(), Schema::kSelectNameOrder);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(order.get())) == SQLITE_ROW) {
        if (sqlite3_column_int64(order.get(), 0) != qint64(m_order.size()))
            damaged();
        decode(sqlite3_column_blob(order.get(), 1), sqlite3_column_bytes(order.get(), 1),
               [this](quint64 part) { m_order.push_back(qint64(part)); });
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
    m_groups = groupNames(db);
    const std::unordered_set<qint64> without = partsWithoutGroup(db, m_groups);
    if (!without.empty()) {
        m_hidden.assign((m_order.size() + 63) / 64, 0);
        for (size_t i = 0; i < m_order.size(); ++i)
            if (without.count(m_order[i]))
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
    // The parts shown and the count from one state of the file.
    db.exec("SAVEPOINT name_search");
    try {
        refresh(db);
        const qint64 parts = qint64(m_order.size());
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
                part.bind(1, static_cast<int64_t>(m_order[i * 64 + size_t(qCountTrailingZeroBits(bits))]));
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

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener,
                            std::string_view prefix)
{
    sqlite3* db = database.getHandle();
    const auto named = [prefix](std::string_view statement, std::string_view table) {
        return Schema::prefixed(statement, table, prefix);
    };
    const std::string price = std::string(prefix) + Tables::kPriceTable;
    const qint64 count = database.execAndGet("SELECT count(*) FROM " + price).getInt64();
    // Lists repeat names a lot: each different name is folded once.
    TextIds names{size_t(count)};
    Entries entries;
    entries.all.reserve(size_t(count));
    {
        const Prepared parts = prepare(db, named(kSelectNames, Tables::kPriceTable).c_str());
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(parts.get())) == SQLITE_ROW) {
            Entry entry;
            entry.name = names.idOf(text(parts.get(), 1));
            entry.numberAndGroup = entries.texts.size();
            entries.texts += text(parts.get(), 2);
            entries.texts += '\0';
            entries.texts += text(parts.get(), 3);
            entry.length = quint32(entries.texts.size() - entry.numberAndGroup);
            entry.part = sqlite3_column_int64(parts.get(), 0);
            entries.all.push_back(entry);
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
    }

    // The words of name id are wordsOfName[firstWord[id]] up to firstWord[id + 1], each once.
    const size_t nameCount = names.texts().size();
    TextStore keyStore;
    std::vector<std::string_view> keys(nameCount);
    TextIds words(nameCount);
    std::vector<quint32> firstWord(nameCount + 1);
    std::vector<quint32> wordsOfName;
    for (size_t id = 0; id < nameCount; ++id) {
        const std::string_view name = names.texts()[id];
        const QString written = QString::fromUtf8(name.data(), qsizetype(name.size()));
        keys[id] = keyStore.keep(NameWords::orderKey(written).toStdString());
        firstWord[id] = quint32(wordsOfName.size());
        for (const QString& word : NameWords::indexed(written).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const quint32 wordId = words.idOf(word.toStdString());
            if (std::find(wordsOfName.begin() + firstWord[id], wordsOfName.end(), wordId) ==
                wordsOfName.end())
                wordsOfName.push_back(wordId);
        }
    }
    firstWord[nameCount] = quint32(wordsOfName.size());

    // Equal folded names share a place.
    std::vector<quint32> byKey(nameCount);
    for (size_t id = 0; id < nameCount; ++id)
        byKey[id] = quint32(id);
    std::sort(byKey.begin(), byKey.end(), [&keys](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    std::vector<quint32> place(nameCount);
    for (size_t i = 0; i < nameCount; ++i)
        place[byKey[i]] = i > 0 && keys[byKey[i]] == keys[byKey[i - 1]] ? place[byKey[i - 1]] : quint32(i);
    for (Entry& entry : entries.all)
        entry.place = place[entry.name];
    entries.sort();

    // The parts of word id are parts[firstPart[id]] up to firstPart[id + 1]:
    // counted first, then laid out in the order of parts.
    const size_t wordCount = words.texts().size();
    std::vector<quint32> firstPart(wordCount + 1);
    for (const Entry& entry : entries.all)
        for (quint32 i = firstWord[entry.name]; i < firstWord[entry.name + 1]; ++i)
            ++firstPart[wordsOfName[i] + 1];
    for (size_t id = 0; id < wordCount; ++id)
        firstPart[id + 1] += firstPart[id];
    std::vector<quint32> parts(firstPart[wordCount]);
    std::vector<quint32> filled(firstPart.begin(), firstPart.end() - 1);

    database.exec(named(Schema::kCreateNameWords, Schema::kNameWordsTable));
    database.exec(named(Schema::kCreateNameOrder, Schema::kNameOrderTable));
    std::string encoded;
    {
        const Prepared order = prepare(db, named(Schema::kInsertNameOrder, Schema::kNameOrderTable).c_str());
        const auto flush = [&](quint32 first) {
            sqlite3_bind_int64(order.get(), 1, first);
            sqlite3_bind_blob(order.get(), 2, encoded.data(), int(encoded.size()), SQLITE_STATIC);
            insertRow(db, order.get());
            encoded.clear();
        };
        quint32 number = 0;
        for (const Entry& entry : entries.all) {
            appendNumber(encoded, quint64(entry.part));
            for (quint32 i = firstWord[entry.name]; i < firstWord[entry.name + 1]; ++i)
                parts[filled[wordsOfName[i]]++] = number;
            if (++number % kOrderRowParts == 0) {
                flush(number - kOrderRowParts);
                if (listener.progress)
                    listener.progress(number, count);
            }
        }
        if (!encoded.empty())
            flush(number - number % kOrderRowParts);
    }
    std::vector<quint32> wordOrder(wordCount);
    for (size_t id = 0; id < wordCount; ++id)
        wordOrder[id] = quint32(id);
    // In the table's order: each row goes at the end of its B-tree.
    const std::vector<std::string_view>& wordTexts = words.texts();
    std::sort(wordOrder.begin(), wordOrder.end(),
              [&wordTexts](quint32 a, quint32 b) { return wordTexts[a] < wordTexts[b]; });
    const Prepared insert = prepare(db, named(Schema::kInsertNameWord, Schema::kNameWordsTable).c_str());
    for (const quint32 word : wordOrder) {
        encoded.clear();
        qint64 previous = -1;
        for (quint32 i = firstPart[word]; i < firstPart[word + 1]; ++i) {
            appendNumber(encoded, quint64(qint64(parts[i]) - previous));
            previous = parts[i];
        }
        sqlite3_bind_text(insert.get(), 1, wordTexts[word].data(), int(wordTexts[word].size()),
                          SQLITE_STATIC);
        sqlite3_bind_blob(insert.get(), 2, encoded.data(), int(encoded.size()), SQLITE_STATIC);
        insertRow(db, insert.get());
    }
}
