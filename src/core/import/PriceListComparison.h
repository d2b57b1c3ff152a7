#pragma once

#include "core/import/BucketSpill.h"
#include "core/storage/PriceListRebuild.h"

#include <QString>
#include <QtGlobal>

#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

// Finds what changed between the replaced price list and the new one and
// hands it to the rebuild to keep. A part is the same part when its
// PARTNUMBER, as printed, is equal ignoring case (simple case folding);
// where a number occurs more than once in either list, GROUPCODE (ignoring
// case) decides as well, and pairs that stay ambiguous are left out.
// The lists are put in buckets by the hash of the folded number, so a part
// and its match share a bucket, and compared one bucket at a time: buckets
// that would not fit the memory limit together wait in temporary files.
// A bucket is held as its folded numbers packed into one buffer and a
// 32-byte record per part, sorted by the numbers' hash, so that no string
// is compared outside a run of equal hashes.
class PriceListComparison
{
public:
    struct Counts
    {
        bool compared = false; // false: the replaced list was empty
        qint64 added = 0;
        qint64 removed = 0;
        qint64 up = 0;
        qint64 down = 0;
        qint64 withoutPrice = 0; // in both lists, without a price in one or both
    };

    PriceListComparison() = default;
    ~PriceListComparison();
    PriceListComparison(const PriceListComparison&) = delete;
    PriceListComparison& operator=(const PriceListComparison&) = delete;

    // Starts reading the replaced list on a thread of its own while the new
    // list loads. First, so that after a first update the new list is only
    // counted.
    void readOld(PriceListRebuild& rebuild);
    // Waits until the replaced list is read: the reading uses the rebuild,
    // which must outlive it, also when the update fails meanwhile.
    void finishReading();
    // The new list's part in its PRICE row rowId.
    void addNew(qint64 rowId, std::string_view partNumber, std::string_view groupCode,
                std::optional<double> price);
    // Compares the lists, once; touches no storage, so it may run on a
    // thread of its own while the rebuild works.
    void compare();
    // Compares the lists unless done and stores the changes through the rebuild.
    Counts store(PriceListRebuild& rebuild);

    // About the most the two lists hold in memory, a bucket of each at a
    // time; set before readOld().
    void setMemoryLimit(size_t bytes) { m_memoryLimit = bytes; }
    // What went to temporary files: nothing while both lists fit the limit.
    qint64 spilledBytes() const { return m_spilled; }
    static constexpr size_t kDefaultMemoryLimit = size_t(32) << 20;

private:
    struct Part
    {
        quint64 hash; // of the folded number
        qint64 rowId;
        quint32 offset; // of the folded number in the list's keys
        quint32 group;  // the folded group code's number, the same in both lists
        quint16 numberLength;
        float price; // as the grid reads it, single precision; NaN: none
    };
    // One bucket of a list, read back to be compared.
    struct List
    {
        std::string_view number(const Part& part) const;
        void sort();
        void read(BucketSpill& spill, size_t bucket);

        std::vector<Part> parts;
        std::string keys; // the folded numbers, back to back
    };
    // A list as it is read: its parts written to their buckets.
    struct Side
    {
        std::unique_ptr<BucketSpill> spill;
        std::string record; // the part being written
        qint64 count = 0;
        // Group codes come over and over: a small table of this list's
        // last spellings answers most without folding or the shared lock.
        struct CachedGroup
        {
            std::string spelling;
            quint32 id = 0;
            bool known = false;
        };
        static constexpr size_t kGroupCacheSize = 4096;
        std::vector<CachedGroup> groupCache = std::vector<CachedGroup>(kGroupCacheSize);
    };

    using Range = std::pair<const Part*, const Part*>;
    void add(Side& side, qint64 rowId, std::string_view partNumber, std::string_view groupCode,
             std::optional<double> price);
    void readOldList(PriceListRebuild& rebuild);
    quint32 groupId(Side& side, std::string_view groupCode);
    void match(Range before, Range after);
    void pair(const Part& before, const Part& after);

    void compareBucket(size_t bucket);

    Side m_old;
    Side m_new;
    List m_before; // the bucket being compared
    List m_after;
    size_t m_memoryLimit = kDefaultMemoryLimit;
    qint64 m_spilled = 0;
    qint64 m_oldCount = 0;
    std::thread m_oldReader;
    std::exception_ptr m_oldFailure;
    // Group codes are few: each folded one is numbered once, for both lists.
    std::mutex m_groupsMutex;
    std::unordered_map<std::string, quint32> m_groups;
    std::vector<PriceListRebuild::Change> m_changes;
    std::vector<qint64> m_removed; // rowids in the replaced list
    qint64 m_newCount = 0;
    Counts m_counts;
    bool m_compared = false;
};
