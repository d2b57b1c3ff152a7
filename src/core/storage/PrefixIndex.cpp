#include "PrefixIndex.h"

#include "core/storage/MapImageReader.h"
#include "core/storage/MapImageWriter.h"
#include "core/storage/Varint.h"
#include "core/text/CaseFolding.h"

#include <QString>

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBucketCount = 65536;
constexpr size_t kBlockKeys = 16;
// Chunks of the index as large as the largest of the buckets', so that the
// room the buckets give back serves the index.
constexpr size_t kChunkBytes = 64 * 1024;
constexpr size_t kLargestBucketChunk = kChunkBytes;

// The next key of a block into key, which holds the one before: the first
// of a block is whole, the others share a beginning with the one before.
void readKey(const char*& at, std::string& key, bool firstOfBlock)
{
    const size_t shared = firstOfBlock ? 0 : Varint::read(at);
    const size_t added = Varint::read(at);
    key.resize(shared);
    key.append(at, added);
    at += added;
}

// Whether block holds exactly keys keys as appendBlock() lays them out,
// each within it and sharing no more than the key before has.
bool isBlock(std::string_view block, size_t keys)
{
    const char* at = block.data();
    const char* const end = at + block.size();
    size_t previous = 0;
    for (size_t key = 0; key < keys; ++key) {
        uint64_t shared = 0, added = 0;
        if ((key > 0 && !Varint::readWithin(at, end, shared)) || shared > previous ||
            !Varint::readWithin(at, end, added) || added > size_t(end - at))
            return false;
        at += added;
        previous = shared + added;
    }
    return at == end;
}

size_t bucketOf(std::string_view key)
{
    return (key.empty() ? 0 : size_t(uint8_t(key[0])) << 8) | (key.size() < 2 ? 0 : uint8_t(key[1]));
}

// The first eight bytes as one number, so that most comparisons of a sort
// read no key.
uint64_t headOf(std::string_view text)
{
    uint64_t head = 0;
    for (size_t byte = 0; byte < 8; ++byte)
        head = (head << 8) | (byte < text.size() ? uint8_t(text[byte]) : 0);
    return head;
}

} // namespace

// Records of the keys of one first two bytes, each: a number telling the
// length of the rest and how many of the first two bytes the key has, the
// rest, and the value. Chunks grow to a limit, so that a few hundred
// buckets waste little.
struct PrefixIndex::Bucket
{
    std::vector<std::string> chunks;

    void append(std::string_view key, uint32_t value)
    {
        const size_t head = std::min<size_t>(key.size(), 2);
        const std::string_view rest = key.substr(head);
        const size_t bytes = rest.size() + 10 + sizeof(value);
        if (chunks.empty() || chunks.back().size() + bytes > chunks.back().capacity()) {
            const size_t grown =
                chunks.empty() ? 256 : std::min(chunks.back().capacity() * 2, kLargestBucketChunk);
            chunks.emplace_back().reserve(std::max(grown, bytes));
        }
        std::string& chunk = chunks.back();
        Varint::append(chunk, rest.size() << 2 | head);
        chunk.append(rest);
        chunk.append(reinterpret_cast<const char*>(&value), sizeof(value));
    }
};

PrefixIndex::PrefixIndex() = default;
PrefixIndex::~PrefixIndex() = default;
PrefixIndex::PrefixIndex(PrefixIndex&&) noexcept = default;
PrefixIndex& PrefixIndex::operator=(PrefixIndex&&) noexcept = default;

void PrefixIndex::add(uint32_t value, std::string_view key)
{
    if (m_size == 0 || std::string_view(m_previous) <= key) {
        append(key, value);
        return;
    }
    if (m_buckets.empty())
        m_buckets.resize(kBucketCount);
    std::unique_ptr<Bucket>& bucket = m_buckets[bucketOf(key)];
    if (!bucket)
        bucket = std::make_unique<Bucket>();
    bucket->append(key, value);
    ++m_count;
}

void PrefixIndex::append(std::string_view key, uint32_t value)
{
    if (m_inBlock == kBlockKeys)
        flushBlock();
    if (m_inBlock == 0) {
        Varint::append(m_block, key.size());
        m_block.append(key);
    } else {
        const size_t shared = size_t(
            std::mismatch(key.begin(), key.begin() + std::ptrdiff_t(std::min(key.size(), m_previous.size())),
                          m_previous.begin())
                .first -
            key.begin());
        Varint::append(m_block, shared);
        Varint::append(m_block, key.size() - shared);
        m_block.append(key.substr(shared));
    }
    m_previous.assign(key);
    if (m_size % kValuesPerChunk == 0)
        m_values.push_back(std::make_unique<uint32_t[]>(kValuesPerChunk));
    m_values.back()[m_size % kValuesPerChunk] = value;
    ++m_size;
    ++m_inBlock;
}

void PrefixIndex::flushBlock()
{
    if (m_inBlock == 0)
        return;
    appendBlock(m_block);
    m_block.clear();
    m_inBlock = 0;
}

void PrefixIndex::appendBlock(const std::string& block)
{
    if (m_chunks.empty() || m_chunkSize - m_chunkUsed < block.size()) {
        m_chunkSize = std::max(kChunkBytes, block.size());
        m_chunks.push_back(std::make_unique<char[]>(m_chunkSize));
        m_chunkUsed = 0;
    }
    char* at = m_chunks.back().get() + m_chunkUsed;
    std::memcpy(at, block.data(), block.size());
    m_blocks.push_back(at);
    m_chunkUsed += block.size();
}

void PrefixIndex::finish()
{
    flushBlock();
    if (m_count > 0)
        mergeBuckets();
    m_buckets.clear();
    m_buckets.shrink_to_fit();
    m_count = 0;
    m_block.clear();
    m_block.shrink_to_fit();
}

void PrefixIndex::mergeBuckets()
{
    // The keys added in order are read back as the merged index is written,
    // and each of their chunks let go of as soon as it is read.
    std::vector<std::unique_ptr<char[]>> runChunks = std::move(m_chunks);
    const std::vector<const char*> runBlocks = std::move(m_blocks);
    std::vector<std::unique_ptr<uint32_t[]>> runValues = std::move(m_values);
    const size_t runSize = m_size;
    m_chunks.clear();
    m_blocks.clear();
    m_values.clear();
    m_size = m_chunkSize = m_chunkUsed = 0;
    m_previous.clear();
    m_blocks.reserve((runSize + m_count + kBlockKeys - 1) / kBlockKeys);
    m_values.reserve((runSize + m_count + kValuesPerChunk - 1) / kValuesPerChunk);

    size_t runPlace = 0, runChunk = 0;
    const char* at = nullptr;
    std::string runKey;
    const auto readRunKey = [&] {
        if (runPlace == runSize)
            return;
        const bool firstOfBlock = runPlace % kBlockKeys == 0;
        if (firstOfBlock) {
            at = runBlocks[runPlace / kBlockKeys];
            // Each chunk begins with a block.
            if (runChunk + 1 < runChunks.size() && at == runChunks[runChunk + 1].get())
                runChunks[runChunk++].reset();
        }
        readKey(at, runKey, firstOfBlock);
    };
    const auto takeRunKey = [&] {
        append(runKey, runValues[runPlace / kValuesPerChunk][runPlace % kValuesPerChunk]);
        if (++runPlace % kValuesPerChunk == 0)
            runValues[runPlace / kValuesPerChunk - 1].reset();
        readRunKey();
    };
    readRunKey();

    std::string key;
    std::vector<const char*> records;
    std::vector<std::pair<uint64_t, uint32_t>> order;
    for (size_t id = 0; id < m_buckets.size(); ++id) {
        if (!m_buckets[id])
            continue;
        records.clear();
        order.clear();
        for (const std::string& chunk : m_buckets[id]->chunks)
            for (const char* record = chunk.data(); record < chunk.data() + chunk.size();) {
                const char* rest = record;
                const size_t header = Varint::read(rest);
                order.emplace_back(headOf(std::string_view(rest, header >> 2)), uint32_t(records.size()));
                records.push_back(record);
                record = rest + (header >> 2) + sizeof(uint32_t);
            }
        // A key shorter than two bytes comes first of its bucket, as it is
        // the beginning of every other key there; then the rests in order.
        const auto restOf = [&records](uint32_t i, size_t* head) {
            const char* rest = records[i];
            const size_t header = Varint::read(rest);
            *head = header & 3;
            return std::string_view(rest, header >> 2);
        };
        std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first)
                return a.first < b.first;
            size_t headA = 0, headB = 0;
            const std::string_view restA = restOf(a.second, &headA), restB = restOf(b.second, &headB);
            return headA != headB ? headA < headB : restA < restB;
        });
        const char first[2] = {char(id >> 8), char(id & 0xff)};
        for (const auto& [ignored, i] : order) {
            size_t head = 0;
            const std::string_view rest = restOf(i, &head);
            key.assign(first, head);
            key.append(rest);
            uint32_t value = 0;
            std::memcpy(&value, rest.data() + rest.size(), sizeof(value));
            while (runPlace < runSize && runKey <= key)
                takeRunKey();
            append(key, value);
        }
        m_buckets[id].reset();
    }
    while (runPlace < runSize)
        takeRunKey();
    flushBlock();
}

template <typename Before> size_t PrefixIndex::partitionPoint(Before before) const
{
    const auto firstKey = [](const char* at) {
        const size_t length = Varint::read(at);
        return std::string_view(at, length);
    };
    size_t low = 0, high = m_blocks.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (before(firstKey(m_blocks[middle])))
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return 0;
    // The answer is in the block before, past its first key, or at the start of the next.
    const size_t blockIndex = low - 1;
    const size_t blockEnd = std::min(m_size, (blockIndex + 1) * kBlockKeys);
    const char* at = m_blocks[blockIndex];
    std::string key;
    readKey(at, key, true);
    for (size_t place = blockIndex * kBlockKeys + 1; place < blockEnd; ++place) {
        readKey(at, key, false);
        if (!before(std::string_view(key)))
            return place;
    }
    return blockEnd;
}

std::pair<size_t, size_t> PrefixIndex::rangeOf(std::string_view prefix) const
{
    const size_t first = partitionPoint([prefix](std::string_view key) { return key < prefix; });
    const size_t last =
        partitionPoint([prefix](std::string_view key) { return key.substr(0, prefix.size()) <= prefix; });
    return {first, std::max(first, last)};
}

void PrefixIndex::renumber(const std::vector<int32_t>& map)
{
    for (size_t place = 0; place < m_size; ++place) {
        uint32_t& value = m_values[place / kValuesPerChunk][place % kValuesPerChunk];
        value = uint32_t(map[value]);
    }
}

size_t PrefixIndex::memoryBytes() const
{
    size_t chunks = 0;
    if (!m_chunks.empty())
        chunks = (m_chunks.size() - 1) * kChunkBytes + m_chunkSize;
    return sizeof(*this) + chunks + m_chunks.capacity() * sizeof(m_chunks[0]) +
           m_blocks.capacity() * sizeof(const char*) + m_values.capacity() * sizeof(m_values[0]) +
           m_values.size() * kValuesPerChunk * sizeof(uint32_t);
}

void PrefixIndex::save(MapImageWriter& out) const
{
    out.writeNumber(m_size);
    std::string key;
    for (size_t block = 0; block < m_blocks.size(); ++block) {
        const char* end = m_blocks[block];
        const size_t keys = std::min(kBlockKeys, m_size - block * kBlockKeys);
        for (size_t place = 0; place < keys; ++place)
            readKey(end, key, place == 0);
        out.writeNumber(size_t(end - m_blocks[block]));
        out.write(m_blocks[block], size_t(end - m_blocks[block]));
    }
    for (size_t chunk = 0; chunk < m_values.size(); ++chunk)
        out.write(m_values[chunk].get(),
                  std::min(kValuesPerChunk, m_size - chunk * kValuesPerChunk) * sizeof(uint32_t));
}

bool PrefixIndex::load(MapImageReader& in, uint32_t valueLimit)
{
    *this = PrefixIndex();
    uint64_t size = 0;
    if (!in.readNumber(size) || size > UINT32_MAX)
        return false;
    std::string block;
    for (size_t place = 0; place < size; place += kBlockKeys) {
        uint64_t length = 0;
        block.clear();
        if (!in.readNumber(length) || length > kChunkBytes || !in.append(block, length) ||
            !isBlock(block, std::min<size_t>(kBlockKeys, size - place))) {
            *this = PrefixIndex();
            return false;
        }
        appendBlock(block);
    }
    for (size_t place = 0; place < size; place += kValuesPerChunk) {
        m_values.push_back(std::make_unique<uint32_t[]>(kValuesPerChunk));
        const uint32_t* values = m_values.back().get();
        const size_t count = std::min<size_t>(kValuesPerChunk, size - place);
        if (!in.read(m_values.back().get(), count * sizeof(uint32_t)) ||
            !std::all_of(values, values + count,
                         [valueLimit](uint32_t value) { return value < valueLimit; })) {
            *this = PrefixIndex();
            return false;
        }
    }
    m_size = size;
    return true;
}

std::string PrefixIndex::folded(std::string_view number)
{
    std::string key;
    fold(number, key);
    return key;
}

void PrefixIndex::fold(std::string_view number, std::string& key)
{
    // Most part numbers are ASCII.
    key.assign(number);
    for (char& ch : key) {
        if (uint8_t(ch) >= 0x80) {
            key =
                CaseFolding::upper(QString::fromUtf8(number.data(), qsizetype(number.size()))).toStdString();
            return;
        }
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    }
}
