#include "BucketSpill.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

BucketSpill::BucketSpill(size_t buckets, bool spill, size_t chunkBytes)
    : m_buckets(std::max<size_t>(buckets, 1)), m_spill(spill), m_chunkBytes(chunkBytes),
      m_file(QDir::tempPath() + QStringLiteral("/tardesk-compare-XXXXXX"))
{}

void BucketSpill::append(size_t bucket, std::string_view record)
{
    Bucket& target = m_buckets[bucket];
    target.pending.append(record);
    ++target.records;
    target.bytes += qint64(record.size());
    if (m_spill && target.pending.size() >= m_chunkBytes)
        write(target);
}

void BucketSpill::write(Bucket& bucket)
{
    if (!m_file.isOpen()) {
        if (!m_file.open())
            fail();
        // Unnamed from now on: nothing is left behind, whatever ends the process.
        ::unlink(QFile::encodeName(m_file.fileName()).constData());
        // Nor is the name removed later: another file may have taken it.
        m_file.setAutoRemove(false);
    }
    const qint64 size = qint64(bucket.pending.size());
    if (m_file.write(bucket.pending.data(), size) != size)
        fail();
    bucket.chunks.push_back({m_spilled, size});
    m_spilled += size;
    bucket.pending.clear();
}

void BucketSpill::read(size_t bucket, const std::function<void(std::string_view chunk)>& visit)
{
    Bucket& source = m_buckets[bucket];
    if (!source.chunks.empty()) {
        if (!m_file.flush())
            fail();
        std::string chunk;
        for (const Chunk& written : source.chunks) {
            chunk.resize(size_t(written.size));
            if (!m_file.seek(written.offset) || m_file.read(chunk.data(), written.size) != written.size)
                fail();
            visit(chunk);
        }
        // Reading appends no more: the next write goes at the end again.
        if (!m_file.seek(m_spilled))
            fail();
    }
    visit(source.pending);
    source = Bucket();
}

void BucketSpill::fail() const
{
    throw Error(QCoreApplication::translate("PriceListComparison",
                                            "Не удалось сравнить прайс-листы во временном файле %1: %2")
                    .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
}
