#include "SqliteNameIndex.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
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

// A part as the index orders it: the folded name, PARTNUMBER and GROUPCODE
// in UTF-8 (whose byte order is code-point order), each ended by a zero
// byte so that a shorter field sorts first, then the file's order.
struct Entry
{
    std::string key;
    std::string words;
    qint64 part = 0;

    bool operator<(const Entry& other) const
    {
        const int order = key.compare(other.key);
        return order != 0 ? order < 0 : part < other.part;
    }
};

constexpr char kSelectNames[] = "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE";
constexpr char kSelectGroups[] = "SELECT GROUPCODE, GROUPNAME FROM GROUPS ORDER BY rowid";

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

// Adds the parts of a word, as PART_NAME_WORDS keeps them, to set.
void addParts(const unsigned char* encoded, int size, PartSet& set)
{
    qint64 part = -1;
    quint64 delta = 0;
    int shift = 0;
    for (int i = 0; i < size; ++i) {
        // Numbers of parts take 32 bits at most: five groups.
        if (shift > 28)
            damaged();
        delta |= quint64(encoded[i] & 0x7F) << shift;
        shift += 7;
        if (encoded[i] & 0x80)
            continue;
        part += qint64(delta);
        if (size_t(part >> 6) >= set.size())
            damaged();
        set[size_t(part >> 6)] |= quint64(1) << (part & 63);
        delta = 0;
        shift = 0;
    }
}

// The first text after every text that begins with word, in SQLite's
// binary order: UTF-8 never holds 0xFF, so the last byte can grow by one.
std::string after(const std::string& word)
{
    std::string bound = word;
    bound.back() = char(static_cast<unsigned char>(bound.back()) + 1);
    return bound;
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
    m_dataVersion = -1;
}

void SqliteNameIndex::refresh(SQLite::Database& db)
{
    // Changes whenever another connection has committed to the file.
    const qint64 version = db.execAndGet("PRAGMA data_version").getInt64();
    if (version == m_dataVersion)
        return;
    forget();
    m_order.resize(size_t(db.execAndGet(Schema::kCountNameOrder).getInt64()));
    const Prepared order = prepare(db.getHandle(), Schema::kSelectNameOrder);
    int result = SQLITE_ROW;
    for (qint64& part : m_order) {
        if ((result = sqlite3_step(order.get())) != SQLITE_ROW)
            break;
        part = sqlite3_column_int64(order.get(), 0);
    }
    if (result != SQLITE_ROW || sqlite3_step(order.get()) != SQLITE_DONE)
        damaged();
    m_groups = groupNames(db);
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
                const std::string bound = after(word);
                PartSet some(size_t(parts + 63) / 64);
                sqlite3_bind_text(words.get(), 1, word.data(), int(word.size()), SQLITE_STATIC);
                sqlite3_bind_text(words.get(), 2, bound.data(), int(bound.size()), SQLITE_STATIC);
                int result = SQLITE_ROW;
                while ((result = sqlite3_step(words.get())) == SQLITE_ROW)
                    addParts(static_cast<const unsigned char*>(sqlite3_column_blob(words.get(), 0)),
                             sqlite3_column_bytes(words.get(), 0), some);
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

void SqliteNameIndex::build(SQLite::Database& database, const PriceListRebuild::Listener& listener)
{
    sqlite3* db = database.getHandle();
    const qint64 count = database.execAndGet("SELECT count(*) FROM PRICE").getInt64();
    std::vector<Entry> entries;
    entries.reserve(size_t(count));
    {
        const Prepared names = prepare(db, kSelectNames);
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(names.get())) == SQLITE_ROW) {
            const std::string_view name = text(names.get(), 1);
            const QString written = QString::fromUtf8(name.data(), qsizetype(name.size()));
            Entry entry;
            entry.key = NameWords::orderKey(written).toStdString();
            entry.key += '\0';
            entry.key += text(names.get(), 2);
            entry.key += '\0';
            entry.key += text(names.get(), 3);
            entry.words = NameWords::indexed(written).toStdString();
            entry.part = sqlite3_column_int64(names.get(), 0);
            entries.push_back(std::move(entry));
        }
        if (result != SQLITE_DONE)
            throw SQLite::Exception(db, result);
    }
    std::sort(entries.begin(), entries.end());

    database.exec(Schema::kCreateNameWords);
    database.exec(Schema::kCreateNameOrder);
    std::unordered_map<std::string_view, std::vector<quint32>> partsOfWord;
    {
        const Prepared order = prepare(db, Schema::kInsertNameOrder);
        quint32 number = 0;
        for (const Entry& entry : entries) {
            sqlite3_bind_int64(order.get(), 1, qint64(number) + 1);
            sqlite3_bind_int64(order.get(), 2, entry.part);
            insertRow(db, order.get());
            const std::string_view words = entry.words;
            for (size_t start = 0; start < words.size();) {
                const size_t end = std::min(words.find(' ', start), words.size());
                std::vector<quint32>& parts = partsOfWord[words.substr(start, end - start)];
                if (parts.empty() || parts.back() != number)
                    parts.push_back(number);
                start = end + 1;
            }
            if (++number % 65536 == 0 && listener.progress)
                listener.progress(number, count);
        }
    }
    std::vector<std::string_view> words;
    words.reserve(partsOfWord.size());
    for (const auto& word : partsOfWord)
        words.push_back(word.first);
    // In the table's order: each row goes at the end of its B-tree.
    std::sort(words.begin(), words.end());
    const Prepared insert = prepare(db, Schema::kInsertNameWord);
    std::string encoded;
    for (const std::string_view word : words) {
        encoded.clear();
        qint64 previous = -1;
        for (const quint32 part : partsOfWord[word]) {
            appendNumber(encoded, quint64(qint64(part) - previous));
            previous = part;
        }
        sqlite3_bind_text(insert.get(), 1, word.data(), int(word.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert.get(), 2, encoded.data(), int(encoded.size()), SQLITE_STATIC);
        insertRow(db, insert.get());
    }
}
