#pragma once

#include "core/import/ProgressReporter.h"
#include "core/import/SupplierFileReader.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// A SupplierFileReader run on a worker thread, so the file is parsed while
// the caller stores the records already read. Records come in batches
// through a short queue:
//
//     ThreadedSupplierReader reader(path, columns, progress);
//     while (reader.nextBatch())
//         insert reader.rows() records from reader.values(0), columnCount() values each;
//
// An error met by the worker is thrown by the nextBatch() after the one that
// holds the records before the failing one. Progress is reported on the
// caller's thread only. Destroying the reader early stops and joins the worker.
class ThreadedSupplierReader
{
public:
    using Value = SupplierFileReader::Value;
    using Adjustment = SupplierFileReader::Adjustment;

    static constexpr size_t kBatchRows = 4096;
    static constexpr size_t kQueuedBatches = 4;

    // Opens the file and reads its header on the caller's thread, so those
    // errors come from here; progress may be null.
    ThreadedSupplierReader(const QString& path, std::vector<TableColumn> columns,
                           ProgressReporter* progress = nullptr);
    ~ThreadedSupplierReader();
    ThreadedSupplierReader(const ThreadedSupplierReader&) = delete;
    ThreadedSupplierReader& operator=(const ThreadedSupplierReader&) = delete;

    // The next batch, at least one record; false at the end of the file.
    // Throws the worker's Error.
    bool nextBatch();
    size_t rows() const { return m_current.rows; }
    // Record row of the batch, columnCount() values in table column order,
    // followed by the batch's later records.
    const Value* values(size_t row) const { return m_current.values.data() + row * m_columnCount; }
    size_t columnCount() const { return m_columnCount; }
    // The line of the file on which record row starts.
    qint64 line(size_t row) const { return m_current.lines[row]; }

    const QString& fileName() const { return m_reader.fileName(); }
    // Valid once nextBatch() has returned false.
    qint64 adjustedCount() const { return m_reader.adjustedCount(); }
    const std::vector<Adjustment>& adjustments() const { return m_reader.adjustments(); }

private:
    struct Batch
    {
        std::vector<Value> values; // kBatchRows records, row after row
        std::vector<qint64> lines;
        size_t rows = 0;
    };

    // Only notes the position on the worker; the caller passes it on.
    class PositionRecorder : public ProgressReporter
    {
    public:
        void update(qint64 position, qint64 total) override;

        std::atomic<qint64> m_position{-1};
        std::atomic<qint64> m_total{0};
    };

    void work();
    Batch spareBatch();
    bool deliver(Batch&& batch, bool last, std::exception_ptr error = nullptr);
    void finish();
    void reportProgress();

    PositionRecorder m_recorder; // before m_reader, which reports to it
    SupplierFileReader m_reader;
    ProgressReporter* m_progress;
    size_t m_columnCount;
    qint64 m_reportedPosition = -1;
    qint64 m_reportedTotal = -1;

    std::mutex m_mutex;
    std::condition_variable m_filled;  // a batch queued or the worker done
    std::condition_variable m_drained; // room in the queue or the caller gone
    std::deque<Batch> m_queue;
    std::vector<Batch> m_spare; // read batches, kept for their buffers
    bool m_done = false;        // the worker queued its last batch
    bool m_stop = false;        // the caller is going away
    std::exception_ptr m_error;

    Batch m_current;
    std::thread m_worker;
};
