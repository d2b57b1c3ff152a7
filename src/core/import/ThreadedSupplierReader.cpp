#include "ThreadedSupplierReader.h"

void ThreadedSupplierReader::PositionRecorder::update(qint64 position, qint64 total)
{
    m_total.store(total, std::memory_order_relaxed);
    m_position.store(position, std::memory_order_relaxed);
}

ThreadedSupplierReader::ThreadedSupplierReader(const QString& path, std::vector<TableColumn> columns,
                                               ProgressReporter* progress)
    : m_reader(path, std::move(columns), &m_recorder), m_progress(progress),
      m_columnCount(m_reader.values().size())
{
    reportProgress();
    m_worker = std::thread([this] { work(); });
}

ThreadedSupplierReader::~ThreadedSupplierReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_drained.notify_one();
    finish();
}

void ThreadedSupplierReader::finish()
{
    if (m_worker.joinable())
        m_worker.join();
}

void ThreadedSupplierReader::reportProgress()
{
    const qint64 position = m_recorder.m_position.load(std::memory_order_relaxed);
    const qint64 total = m_recorder.m_total.load(std::memory_order_relaxed);
    if (!m_progress || position < 0 || (position == m_reportedPosition && total == m_reportedTotal))
        return;
    m_reportedPosition = position;
    m_reportedTotal = total;
    m_progress->update(position, total);
}

ThreadedSupplierReader::Batch ThreadedSupplierReader::spareBatch()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_spare.empty()) {
            Batch batch = std::move(m_spare.back());
            m_spare.pop_back();
            batch.rows = 0;
            return batch;
        }
    }
    Batch batch;
    batch.values.resize(kBatchRows * m_columnCount);
    batch.lines.resize(kBatchRows);
    return batch;
}

bool ThreadedSupplierReader::deliver(Batch&& batch, bool last, std::exception_ptr error)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_drained.wait(lock, [this] { return m_stop || m_queue.size() < kQueuedBatches; });
    if (m_stop)
        return false;
    if (batch.rows > 0)
        m_queue.push_back(std::move(batch));
    m_done = last;
    m_error = std::move(error);
    lock.unlock();
    m_filled.notify_one();
    return true;
}

void ThreadedSupplierReader::work()
{
    for (;;) {
        Batch batch;
        bool more = true;
        std::exception_ptr error;
        try {
            batch = spareBatch();
            while (batch.rows < kBatchRows && (more = m_reader.next())) {
                m_reader.takeValues(batch.values.data() + batch.rows * m_columnCount);
                batch.lines[batch.rows++] = m_reader.line();
            }
        } catch (...) {
            // The records read before the failure go first, then the error.
            error = std::current_exception();
        }
        const bool last = !more || error;
        if (!deliver(std::move(batch), last, std::move(error)) || last)
            return;
    }
}

bool ThreadedSupplierReader::nextBatch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_current.rows > 0) {
        m_spare.push_back(std::move(m_current));
        m_current = Batch();
    }
    m_filled.wait(lock, [this] { return !m_queue.empty() || m_done; });
    if (m_queue.empty()) {
        lock.unlock();
        finish();
        reportProgress();
        if (m_error)
            std::rethrow_exception(m_error);
        return false;
    }
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    m_drained.notify_one();
    reportProgress();
    return true;
}
