#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class PrefixIndex;

// Fills a PrefixIndex on a thread of its own from the numbers handed to
// add(), so that reading them and indexing them go on side by side, and
// the index is finished while its owner reads something else.
class PrefixIndexFeed
{
public:
    explicit PrefixIndexFeed(PrefixIndex& index);
    // Without finish() and wait(), the index is left half-built.
    ~PrefixIndexFeed();
    PrefixIndexFeed(const PrefixIndexFeed&) = delete;
    PrefixIndexFeed& operator=(const PrefixIndexFeed&) = delete;

    // As index.add(value, PrefixIndex::folded(number)).
    void add(uint32_t value, std::string_view number);
    // No more numbers: the thread finishes the index.
    void finish();
    // Until the index is finished; throws what the thread ran into.
    void wait();

private:
    struct Batch
    {
        std::string bytes;
        std::vector<uint32_t> ends;
        std::vector<uint32_t> values;
    };

    void handOver();
    void run();
    void index(const Batch& batch);

    PrefixIndex& m_index;
    Batch m_filling;
    std::string m_key; // the thread's, folded
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_full;
    std::vector<Batch> m_empty;
    bool m_finishing = false; // no more batches will come
    bool m_finished = false;  // the thread is done, with the index or with m_error
    bool m_stopping = false;
    std::exception_ptr m_error;
    std::thread m_thread;
};
