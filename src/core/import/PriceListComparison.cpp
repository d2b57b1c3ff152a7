#include "PriceListComparison.h"

#include "core/db/Schema.h"
#include "core/import/BulkInsert.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <QFile>
#include <QString>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>

namespace {

constexpr size_t kMaxKeyBytes = std::numeric_limits<quint16>::max();

size_t appendFolded(std::string& keys, std::string_view text)
{
    const size_t start = keys.size();
    UnicodeCaseFolding::appendFolded(keys, text);
    // Only an absurd text is longer: it is compared by its beginning.
    keys.resize(std::min(keys.size(), start + kMaxKeyBytes));
    return keys.size() - start;
}

std::optional<double> priceOf(float stored)
{
    return std::isnan(stored) ? std::nullopt : std::optional<double>(stored);
}

// Walks two sorted ranges in step and hands over, key by key, the parts of
// that key in each range; one of the two may be empty.
template <typename Part, typename KeyBefore, typename KeyAfter, typename Visit>
void forEachKey(std::pair<const Part*, const Part*> before, std::pair<const Part*, const Part*> after,
                KeyBefore keyBefore, KeyAfter keyAfter, Visit visit)
{
    auto [b, bEnd] = before;
    auto [a, aEnd] = after;
    while (b != bEnd || a != aEnd) {
        const auto key = b == bEnd   ? keyAfter(*a)
                         : a == aEnd ? keyBefore(*b)
                                     : std::min(keyBefore(*b), keyAfter(*a));
        const Part* bRun = b;
        while (bRun != bEnd && keyBefore(*bRun) == key)
            ++bRun;
        const Part* aRun = a;
        while (aRun != aEnd && keyAfter(*aRun) == key)
            ++aRun;
        visit(std::make_pair(b, bRun), std::make_pair(a, aRun));
        b = bRun;
        a = aRun;
    }
}

using Value = FieldConverter::Value;

// Rows of PRICE_CHANGES, gathered to go in many to a statement.
class ChangeRows
{
public:
    explicit ChangeRows(SQLite::Database& db) : m_insert(db.getHandle(), Schema::kPriceChangesTable, kColumns)
    {
        for (const auto kind : {PriceChange::Kind::Up, PriceChange::Kind::Down, PriceChange::Kind::New,
                                PriceChange::Kind::Removed})
            m_names[int(kind)] = PriceChange::name(kind).toStdString();
        m_values.reserve(kRowsPerBatch * kColumns);
    }

    void add(qint64 rowId, PriceChange::Kind kind, Value oldPrice, Value groupCode = {},
             Value partNumber = {})
    {
        m_values.emplace_back(rowId);
        m_values.emplace_back(m_names[int(kind)]);
        m_values.push_back(std::move(oldPrice));
        m_values.push_back(std::move(groupCode));
        m_values.push_back(std::move(partNumber));
        if (m_values.size() == kRowsPerBatch * kColumns)
            flush();
    }

    void flush()
    {
        m_insert.insert(m_values.data(), m_values.size() / kColumns);
        m_values.clear();
    }

private:
    static constexpr size_t kColumns = Schema::kPriceChangesColumnCount;
    static constexpr size_t kRowsPerBatch = 1024;
    BulkInsert m_insert;
    std::string m_names[4];
    std::vector<Value> m_values;
};

} // namespace

void PriceListComparison::add(List& list, qint64 rowId, std::string_view partNumber,
                              std::string_view groupCode, std::optional<double> price)
{
    // A list a little longer than the reserve grows by a quarter, not twice.
    if (list.parts.size() == list.parts.capacity()) {
        list.parts.reserve(list.parts.size() + list.parts.size() / 4 + 1024);
        list.keys.reserve(list.keys.size() + list.keys.size() / 4 + 16384);
    }
    Part part;
    part.offset = quint32(list.keys.size());
    part.numberLength = quint16(appendFolded(list.keys, partNumber));
    part.hash = std::hash<std::string_view>{}(list.number(part));
    part.group = groupId(list, groupCode);
    part.rowId = rowId;
    // The grid shows the single a price stands for; beyond a single's range
    // it shows nothing sensible anyway.
    part.price = price ? float(*price) : std::numeric_limits<float>::quiet_NaN();
    list.parts.push_back(part);
}

quint32 PriceListComparison::groupId(List& list, std::string_view groupCode)
{
    List::CachedGroup& cached =
        list.groupCache[std::hash<std::string_view>{}(groupCode) % List::kGroupCacheSize];
    if (cached.known && cached.spelling == groupCode)
        return cached.id;
    std::string folded;
    appendFolded(folded, groupCode);
    {
        const std::lock_guard<std::mutex> lock(m_groupsMutex);
        cached.id = m_groups.try_emplace(folded, quint32(m_groups.size())).first->second;
    }
    cached.spelling.assign(groupCode);
    cached.known = true;
    return cached.id;
}

std::string_view PriceListComparison::List::number(const Part& part) const
{
    return std::string_view(keys).substr(part.offset, part.numberLength);
}

void PriceListComparison::List::sort()
{
    std::sort(parts.begin(), parts.end(), [this](const Part& a, const Part& b) {
        if (a.hash != b.hash)
            return a.hash < b.hash;
        return std::make_tuple(number(a), a.group, a.rowId) < std::make_tuple(number(b), b.group, b.rowId);
    });
}

void PriceListComparison::addNew(qint64 rowId, std::string_view partNumber, std::string_view groupCode,
                                 std::optional<double> price)
{
    ++m_newCount;
    if (m_oldCount > 0)
        add(m_new, rowId, partNumber, groupCode, price);
}

PriceListComparison::~PriceListComparison()
{
    if (m_oldReader.joinable())
        m_oldReader.join();
}

void PriceListComparison::readOld(SQLite::Database& db, const std::string& schema, const QString& fileName)
{
    m_oldCount = db.execAndGet("SELECT count(*) FROM " + schema + ".PRICE").getInt64();
    if (m_oldCount == 0)
        return;
    // Both lists are usually about as long: room for them at once, rather
    // than twice the room while growing; the new list may have grown a little.
    const auto count = size_t(m_oldCount);
    m_old.parts.reserve(count);
    m_old.keys.reserve(count * 16);
    m_new.parts.reserve(count + count / 8);
    m_new.keys.reserve((count + count / 8) * 16);
    m_oldReader = std::thread([this, fileName] {
        try {
            readOldList(fileName);
        } catch (...) {
            m_oldFailure = std::current_exception();
        }
    });
}

void PriceListComparison::readOldList(const QString& fileName)
{
    // A connection of this thread's own; the file is not written meanwhile.
    // Read through the C interface: a million rows, four columns each.
    SQLite::Database db(QFile::encodeName(fileName).toStdString(),
                        SQLite::OPEN_READONLY | SQLite::OPEN_NOMUTEX);
    const char sql[] = "SELECT rowid, PARTNUMBER, GROUPCODE, PRICE FROM PRICE";
    sqlite3_stmt* prepared = nullptr;
    if (const int result = sqlite3_prepare_v2(db.getHandle(), sql, sizeof sql, &prepared, nullptr))
        throw SQLite::Exception(db.getHandle(), result);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> query(prepared, &sqlite3_finalize);
    const auto text = [&query](int column) {
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), column));
        return std::string_view(value ? value : "", size_t(sqlite3_column_bytes(query.get(), column)));
    };
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(query.get())) == SQLITE_ROW) {
        const bool withPrice = sqlite3_column_type(query.get(), 3) != SQLITE_NULL;
        add(m_old, sqlite3_column_int64(query.get(), 0), text(1), text(2),
            withPrice ? std::optional<double>(sqlite3_column_double(query.get(), 3)) : std::nullopt);
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db.getHandle(), result);
    m_old.sort();
}

void PriceListComparison::pair(const Part& before, const Part& after)
{
    // Most prices stay as they were: equal singles show alike.
    if (before.price == after.price)
        return;
    const std::optional<PriceChange::Kind> kind =
        PriceChange::compare(priceOf(before.price), priceOf(after.price));
    if (!kind)
        return;
    m_changes.push_back(Change{after.rowId, *kind, before.price});
    ++(*kind == PriceChange::Kind::Up ? m_counts.up : m_counts.down);
}

void PriceListComparison::match(Range before, Range after)
{
    const auto count = [](Range range) { return range.second - range.first; };
    if (count(before) == 0 || count(after) == 0) {
        for (const Part* part = after.first; part != after.second; ++part)
            m_changes.push_back(
                Change{part->rowId, PriceChange::Kind::New, std::numeric_limits<float>::quiet_NaN()});
        for (const Part* part = before.first; part != before.second; ++part)
            m_removed.push_back(part->rowId);
        m_counts.added += count(after);
        m_counts.removed += count(before);
        return;
    }
    if (count(before) == 1 && count(after) == 1) {
        pair(*before.first, *after.first);
        return;
    }
    // The number repeats: the group decides; what stays ambiguous is left out.
    const auto group = [](const Part& part) { return part.group; };
    forEachKey(before, after, group, group, [this, &count](Range sameBefore, Range sameAfter) {
        if (count(sameBefore) == 0 || count(sameAfter) == 0)
            match(sameBefore, sameAfter);
        else if (count(sameBefore) == 1 && count(sameAfter) == 1)
            pair(*sameBefore.first, *sameAfter.first);
    });
}

PriceListComparison::Counts PriceListComparison::store(SQLite::Database& db, const std::string& schema)
{
    db.exec(Schema::kCreatePriceChanges);
    if (m_oldReader.joinable())
        m_oldReader.join();
    if (m_oldFailure)
        std::rethrow_exception(m_oldFailure);
    if (m_old.parts.empty()) {
        // A first update: every part is new, and none is marked.
        m_counts.added = m_newCount;
        return m_counts;
    }
    m_counts.compared = true;
    m_new.sort();
    const auto whole = [](const List& list) {
        return Range(list.parts.data(), list.parts.data() + list.parts.size());
    };
    forEachKey(
        whole(m_old), whole(m_new),
        [this](const Part& part) { return std::make_pair(part.hash, m_old.number(part)); },
        [this](const Part& part) { return std::make_pair(part.hash, m_new.number(part)); },
        [this](Range before, Range after) { match(before, after); });
    m_old = List();
    m_new = List();
    m_groups.clear();

    // In rowid order, the table's own: each row goes in at its end.
    std::sort(m_changes.begin(), m_changes.end(),
              [](const Change& a, const Change& b) { return a.rowId < b.rowId; });
    ChangeRows rows(db);
    for (const Change& change : m_changes)
        rows.add(change.rowId, change.kind,
                 std::isnan(change.oldPrice) ? Value() : Value(double(change.oldPrice)));
    // The removed parts keep their texts under negative ids.
    std::sort(m_removed.begin(), m_removed.end());
    SQLite::Statement removed(db, "SELECT PRICE, GROUPCODE, PARTNUMBER FROM " + schema +
                                      ".PRICE WHERE rowid = ?");
    const auto text = [&removed](int column) {
        const SQLite::Column stored = removed.getColumn(column);
        return stored.isNull() ? Value() : Value(stored.getString());
    };
    qint64 number = 0;
    for (const qint64 rowId : m_removed) {
        removed.bind(1, static_cast<int64_t>(rowId));
        removed.executeStep();
        const SQLite::Column price = removed.getColumn(0);
        rows.add(--number, PriceChange::Kind::Removed, price.isNull() ? Value() : Value(price.getDouble()),
                 text(1), text(2));
        removed.reset();
    }
    rows.flush();
    return m_counts;
}
