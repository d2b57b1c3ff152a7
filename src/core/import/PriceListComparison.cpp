#include "PriceListComparison.h"

#include "core/storage/FreedMemory.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <cstring>
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

} // namespace

void PriceListComparison::add(Side& side, qint64 rowId, std::string_view partNumber,
                              std::string_view groupCode, std::optional<double> price)
{
    // A part goes out as its record, padding cleared, and its folded number.
    Part part{};
    side.record.assign(sizeof(Part), '\0');
    part.numberLength = quint16(appendFolded(side.record, partNumber));
    part.hash = std::hash<std::string_view>{}(std::string_view(side.record).substr(sizeof(Part)));
    part.group = groupId(side, groupCode);
    part.rowId = rowId;
    // The grid shows the single a price stands for; beyond a single's range
    // it shows nothing sensible anyway.
    part.price = price ? float(*price) : std::numeric_limits<float>::quiet_NaN();
    std::memcpy(side.record.data(), &part, sizeof(Part));
    side.spill->append(size_t(part.hash % side.spill->buckets()), side.record);
    ++side.count;
}

quint32 PriceListComparison::groupId(Side& side, std::string_view groupCode)
{
    Side::CachedGroup& cached =
        side.groupCache[std::hash<std::string_view>{}(groupCode) % Side::kGroupCacheSize];
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

void PriceListComparison::List::read(BucketSpill& spill, size_t bucket)
{
    // Cleared, not freed: the next bucket takes about as much room.
    parts.clear();
    keys.clear();
    const qint64 records = spill.records(bucket);
    parts.reserve(size_t(records));
    keys.reserve(size_t(spill.bytes(bucket) - records * qint64(sizeof(Part))));
    spill.read(bucket, [this](std::string_view chunk) {
        while (!chunk.empty()) {
            Part part;
            std::memcpy(&part, chunk.data(), sizeof(Part));
            part.offset = quint32(keys.size());
            keys.append(chunk.substr(sizeof(Part), part.numberLength));
            parts.push_back(part);
            chunk.remove_prefix(sizeof(Part) + part.numberLength);
        }
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
    finishReading();
}

void PriceListComparison::finishReading()
{
    if (m_oldReader.joinable())
        m_oldReader.join();
}

void PriceListComparison::readOld(PriceListRebuild& rebuild)
{
    m_oldCount = rebuild.previousCount();
    if (m_oldCount == 0)
        return;
    // The new list is usually about as long as the replaced one; a part
    // takes its record and a folded number of some 16 bytes.
    const double bothLists = double(m_oldCount) * 2 * (sizeof(Part) + 16);
    const auto buckets = size_t(std::ceil(bothLists / double(std::max<size_t>(m_memoryLimit, 1))));
    const bool spill = buckets > 1;
    // What the buckets gather before writing stays a small share of the limit.
    const size_t chunk = std::clamp<size_t>(m_memoryLimit / (8 * buckets), 1024, 1 << 20);
    m_old.spill = std::make_unique<BucketSpill>(buckets, spill, chunk);
    m_new.spill = std::make_unique<BucketSpill>(buckets, spill, chunk);
    m_oldReader = std::thread([this, &rebuild] {
        try {
            readOldList(rebuild);
        } catch (...) {
            m_oldFailure = std::current_exception();
        }
    });
}

void PriceListComparison::readOldList(PriceListRebuild& rebuild)
{
    rebuild.visitPrevious([this](const PriceListRebuild::PreviousPart& part) {
        add(m_old, part.id, part.partNumber, part.groupCode, part.price);
    });
}

void PriceListComparison::pair(const Part& before, const Part& after)
{
    if (std::isnan(before.price) || std::isnan(after.price)) {
        ++m_counts.withoutPrice;
        return;
    }
    // Most prices stay as they were: equal singles show alike.
    if (before.price == after.price)
        return;
    const std::optional<PriceChange::Kind> kind =
        PriceChange::compare(priceOf(before.price), priceOf(after.price));
    if (!kind)
        return;
    m_changes.push_back({after.rowId, *kind, priceOf(before.price)});
    ++(*kind == PriceChange::Kind::Up ? m_counts.up : m_counts.down);
}

void PriceListComparison::match(Range before, Range after)
{
    const auto count = [](Range range) { return range.second - range.first; };
    if (count(before) == 0 || count(after) == 0) {
        for (const Part* part = after.first; part != after.second; ++part)
            m_changes.push_back({part->rowId, PriceChange::Kind::New, std::nullopt});
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

void PriceListComparison::compareBucket(size_t bucket)
{
    // Both sides are read and sorted at once, the replaced one on a thread.
    std::exception_ptr failure;
    std::thread reader([this, bucket, &failure] {
        try {
            m_before.read(*m_old.spill, bucket);
            m_before.sort();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    auto join = qScopeGuard([&reader] { reader.join(); });
    m_after.read(*m_new.spill, bucket);
    m_after.sort();
    reader.join();
    join.dismiss();
    if (failure)
        std::rethrow_exception(failure);

    const auto whole = [](const List& list) {
        return Range(list.parts.data(), list.parts.data() + list.parts.size());
    };
    forEachKey(
        whole(m_before), whole(m_after),
        [this](const Part& part) { return std::make_pair(part.hash, m_before.number(part)); },
        [this](const Part& part) { return std::make_pair(part.hash, m_after.number(part)); },
        [this](Range before, Range after) { match(before, after); });
}

void PriceListComparison::compare()
{
    if (m_compared)
        return;
    m_compared = true;
    finishReading();
    if (m_oldFailure)
        std::rethrow_exception(m_oldFailure);
    if (m_old.count == 0) {
        // A first update: every part is new, and none is marked.
        m_counts.added = m_newCount;
        return;
    }
    m_counts.compared = true;
    m_spilled = m_old.spill->spilledBytes() + m_new.spill->spilledBytes();
    for (size_t bucket = 0; bucket < m_old.spill->buckets(); ++bucket)
        compareBucket(bucket);
    m_old.spill.reset();
    m_new.spill.reset();
    m_before = List();
    m_after = List();
    m_groups.clear();

    // In the new list's order, its own: each row goes in at its end.
    std::sort(
        m_changes.begin(), m_changes.end(),
        [](const PriceListRebuild::Change& a, const PriceListRebuild::Change& b) { return a.part < b.part; });
    std::sort(m_removed.begin(), m_removed.end());
}

PriceListComparison::Counts PriceListComparison::store(PriceListRebuild& rebuild)
{
    compare();
    rebuild.storeChanges(m_changes, m_removed);
    // Stored: their room, and the buckets', goes to the indexes built next.
    m_changes = {};
    m_removed = {};
    releaseFreedMemory();
    return m_counts;
}
