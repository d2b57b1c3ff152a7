#include "NameBucketedOrder.h"

#include "core/sqlite/NameIndexWriter.h"
#include "core/sqlite/NamePartBuckets.h"
#include "core/sqlite/RawSql.h"
#include "core/sqlite/Schema.h"
#include "core/storage/NameTextStore.h"
#include "core/text/NameWords.h"

#include <SQLiteCpp/Database.h>

#include <QString>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

using RawSql::prepare;
using RawSql::Prepared;
using RawSql::text;

namespace {

constexpr char kSelectParts[] = "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE";

} // namespace

void NameBucketedOrder::sortBucket(std::vector<Entry>& entries, std::string_view records)
{
    const auto before = [records](const Entry& a, const Entry& b) {
        if (a.place != b.place)
            return a.place < b.place;
        if (a.head != b.head)
            return a.head < b.head;
        const int order =
            records.substr(a.numberAndGroup, a.length).compare(records.substr(b.numberAndGroup, b.length));
        return order != 0 ? order < 0 : a.part < b.part;
    };
    // The other core is idle meanwhile: it sorts half of a large bucket.
    constexpr size_t kHalvedFrom = 16384;
    if (entries.size() < kHalvedFrom) {
        std::sort(entries.begin(), entries.end(), before);
        return;
    }
    const auto middle = entries.begin() + std::ptrdiff_t(entries.size() / 2);
    std::thread other([&] { std::sort(middle, entries.end(), before); });
    std::sort(entries.begin(), middle, before);
    other.join();
    std::inplace_merge(entries.begin(), middle, entries.end(), before);
}

NameBucketedOrder::NameBucketedOrder(SQLite::Database& database, size_t keptNames, size_t keptBytes)
    : m_database(database), m_keptNames(keptNames), m_keptBytes(keptBytes),
      m_partsRead(std::make_unique<NamePartBuckets>(database, "NAME_PARTS_READ", 1, keptBytes))
{}

NameBucketedOrder::~NameBucketedOrder() = default;

void NameBucketedOrder::add(qint64 part, std::string_view name, std::string_view number,
                            std::string_view group)
{
    if (!m_partsRead)
        return;
    const quint32 id = m_names.idOf(name);
    if (id == m_parts.size()) {
        if (m_parts.size() == m_keptNames) {
            m_partsRead.reset();
            m_names = NameTextIds(0);
            m_parts = {};
            m_count = 0;
            return;
        }
        m_parts.push_back(0);
    }
    ++m_parts[id];
    ++m_count;
    const quint32 length = quint32(number.size() + 1 + group.size());
    m_record.assign(reinterpret_cast<const char*>(&id), sizeof id);
    m_record.append(reinterpret_cast<const char*>(&part), sizeof part);
    m_record.append(reinterpret_cast<const char*>(&length), sizeof length);
    m_record += number;
    m_record += '\0';
    m_record += group;
    m_partsRead->append(0, m_record);
}

void NameBucketedOrder::read(std::string_view prefix)
{
    sqlite3* db = m_database.getHandle();
    const Prepared query = prepare(db, Schema::prefixed(kSelectParts, Tables::kPriceTable, prefix).c_str());
    int result = SQLITE_ROW;
    while (complete() && (result = sqlite3_step(query.get())) == SQLITE_ROW)
        add(sqlite3_column_int64(query.get(), 0), text(query.get(), 1), text(query.get(), 2),
            text(query.get(), 3));
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
}

void NameBucketedOrder::write(qint64 bucketParts, NameIndexWriter& writer)
{
    const size_t nameCount = m_parts.size();
    std::vector<quint32> place(nameCount);
    std::vector<quint32> bucketOf(nameCount);
    size_t buckets = 0;
    {
        NameTextStore keyStore;
        std::vector<std::string_view> keys(nameCount);
        for (size_t id = 0; id < nameCount; ++id) {
            const std::string_view name = m_names.texts()[id];
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
            inBucket += m_parts[byKey[i]];
        }
        ++buckets;
    }

    NamePartBuckets parts(m_database, "NAME_PART_CHUNKS", buckets, m_keptBytes);
    m_partsRead->read(0, [&](std::string_view records) {
        for (size_t at = 0; at < records.size();) {
            quint32 name = 0;
            quint32 length = 0;
            std::memcpy(&name, records.data() + at, sizeof name);
            std::memcpy(&length, records.data() + at + 12, sizeof length);
            parts.append(bucketOf[name], records.substr(at, kRecordHead + length));
            at += kRecordHead + length;
        }
    });
    m_partsRead.reset();

    std::vector<Entry> entries;
    for (size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::string records = parts.take(bucket);
        entries.clear();
        for (size_t at = 0; at < records.size();) {
            Entry entry;
            std::memcpy(&entry.name, records.data() + at, sizeof entry.name);
            std::memcpy(&entry.part, records.data() + at + 4, sizeof entry.part);
            std::memcpy(&entry.length, records.data() + at + 12, sizeof entry.length);
            entry.numberAndGroup = quint32(at + kRecordHead);
            entry.place = place[entry.name];
            for (size_t byte = 0; byte < 8; ++byte)
                entry.head = (entry.head << 8) |
                             (byte < entry.length ? uint8_t(records[entry.numberAndGroup + byte]) : 0);
            entries.push_back(entry);
            at += kRecordHead + entry.length;
        }
        sortBucket(entries, records);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i == 0 || entries[i].name != entries[i - 1].name)
                writer.setName(m_names.texts()[entries[i].name]);
            writer.add(entries[i].part);
        }
    }
}
