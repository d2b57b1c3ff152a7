#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class MapImageReader;
class MapImageWriter;

// A value by a key, for finding every value whose key begins with a given
// text: the keys are sorted once in code-point order, so the values of a
// prefix lie side by side and a lookup reads nothing else. Millions of keys
// are held in a few bytes each: sorted keys share most of their beginning
// with the key before, so each is kept as what it adds to it.
class PrefixIndex
{
public:
    PrefixIndex();
    ~PrefixIndex();
    PrefixIndex(PrefixIndex&&) noexcept;
    PrefixIndex& operator=(PrefixIndex&&) noexcept;

    // Keys may come in any order; those that come in order cost least, as
    // they go straight into the index, and the rest are sorted into it.
    void add(uint32_t value, std::string_view key);
    void finish();

    // The places [first, last) of the keys that begin with prefix (UTF-8),
    // in key order.
    std::pair<size_t, size_t> rangeOf(std::string_view prefix) const;
    // Calls take(begin, end) with the values of the places in range, in
    // order, a piece at a time.
    template <typename Take> void valuesOf(std::pair<size_t, size_t> range, Take take) const
    {
        for (size_t place = range.first; place < range.second;) {
            const uint32_t* piece = m_values[place / kValuesPerChunk].get();
            const size_t end = std::min(range.second, (place / kValuesPerChunk + 1) * kValuesPerChunk);
            take(piece + place % kValuesPerChunk, piece + (end - 1) % kValuesPerChunk + 1);
            place = end;
        }
    }
    size_t size() const { return m_size; }
    // Replaces each value v by map[v]; for values numbered before their
    // final order was known.
    void renumber(const std::vector<int32_t>& map);

    // Bytes held, for the memory budget.
    size_t memoryBytes() const;

    // The finished index as it is held, for a program that reads it back
    // with load() rather than sort its keys again.
    void save(MapImageWriter& out) const;
    // The index save() wrote, its values all below valueLimit; false,
    // leaving the index empty, when the bytes are not such an index.
    bool load(MapImageReader& in, uint32_t valueLimit);

    // A part or cross number (UTF-8) as CaseFolding::upper folds it, the
    // key under which a search finds it whatever its letter case.
    static std::string folded(std::string_view number);
    // The same into key, whose room serves again.
    static void fold(std::string_view number, std::string& key);

private:
    struct Bucket;
    // While filled: the keys that came out of order, by their first two
    // bytes, so that each bucket is sorted on its own and let go as soon as
    // its keys are in the index.
    std::vector<std::unique_ptr<Bucket>> m_buckets;
    size_t m_count = 0;

    // Blocks of kBlockKeys keys: the first whole, the others as the length
    // they share with the key before and the bytes that follow.
    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_chunkSize = 0;
    size_t m_chunkUsed = 0;
    std::vector<const char*> m_blocks;
    // The values in chunks rather than one array, so that they too take
    // the room the buckets give back.
    static constexpr size_t kValuesPerChunk = 16384;
    std::vector<std::unique_ptr<uint32_t[]>> m_values;
    size_t m_size = 0;

    // The keys added in order so far, or the index being merged, end with
    // m_previous; m_block holds the last block's keys until it is full.
    std::string m_block;
    std::string m_previous;
    size_t m_inBlock = 0;

    void append(std::string_view key, uint32_t value);
    void appendBlock(const std::string& block);
    void flushBlock();
    // Merges the keys added out of order into those added in order.
    void mergeBuckets();
    // The place of the first key for which before(key) is false; before is
    // true of every key up to some place and false from it on.
    template <typename Before> size_t partitionPoint(Before before) const;
};
