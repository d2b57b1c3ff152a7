#include "PrefixIndexFeed.h"

#include "core/storage/PrefixIndex.h"

namespace {

constexpr size_t kBatchNumbers = 8192;
// Batches waiting at most, so that a reader faster than the index holds
// little.
constexpr size_t kWaitingBatches = 4;

} // namespace

PrefixIndexFeed::PrefixIndexFeed(PrefixIndex& index) : m_index(index)
{
    m_thread = std::thread([this] { run(); });
}

PrefixIndexFeed::~PrefixIndexFeed()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PrefixIndexFeed::add(uint32_t value, std::string_view number)
{
    m_filling.bytes.append(number);
    m_filling.ends.push_back(uint32_t(m_filling.bytes.size()));
    m_filling.values.push_back(value);
    if (m_filling.values.size() == kBatchNumbers)
        handOver();
}

void PrefixIndexFeed::handOver()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_full.size() < kWaitingBatches || m_finished; });
    if (m_error)
        std::rethrow_exception(m_error);
    m_full.push_back(std::move(m_filling));
    // Batches serve again rather than be freed on the other thread, which
    // would contend with this one for the heap.
    if (m_empty.empty()) {
        m_filling = Batch();
    } else {
        m_filling = std::move(m_empty.back());
        m_empty.pop_back();
    }
    lock.unlock();
    m_changed.notify_all();
}

void PrefixIndexFeed::finish()
{
    handOver();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finishing = true;
    }
    m_changed.notify_all();
}

void PrefixIndexFeed::wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_finished; });
    if (m_error)
        std::rethrow_exception(m_error);
}

void PrefixIndexFeed::run()
{
    try {
        for (;;) {
            Batch batch;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_full.empty() || m_finishing || m_stopping; });
                if (m_stopping)
                    return;
                if (m_full.empty())
                    break;
                batch = std::move(m_full.front());
                m_full.pop_front();
            }
            m_changed.notify_all();
            index(batch);
            batch.bytes.clear();
            batch.ends.clear();
            batch.values.clear();
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_empty.push_back(std::move(batch));
        }
        m_index.finish();
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_error = std::current_exception();
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

void PrefixIndexFeed::index(const Batch& batch)
{
    size_t begin = 0;
    for (size_t i = 0; i < batch.values.size(); ++i) {
        PrefixIndex::fold(std::string_view(batch.bytes).substr(begin, batch.ends[i] - begin), m_key);
        m_index.add(batch.values[i], m_key);
        begin = batch.ends[i];
    }
}
