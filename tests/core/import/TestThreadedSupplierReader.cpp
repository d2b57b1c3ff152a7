#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/import/ProgressReporter.h"
#include "core/import/SupplierFileReader.h"
#include "core/import/ThreadedSupplierReader.h"
#include "core/storage/Tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

const std::vector<TableColumn> kColumns = {{"CODE", TableColumn::Text, 5},
                                           {"NAME", TableColumn::Text, 12},
                                           {"PRICE", TableColumn::Single, 0},
                                           {"QTY", TableColumn::Short, 0}};
constexpr int kBatch = int(ThreadedSupplierReader::kBatchRows);

struct Record
{
    qint64 line = 0;
    std::vector<SupplierFileReader::Value> values;

    bool operator==(const Record& other) const { return line == other.line && values == other.values; }
};

// "CODE;NAME;QTY" records whose names come and go and vary in length, so
// reused buffers would show stale text; every 97th name is too long.
QByteArray varyingRecords(int count)
{
    QByteArray file("CODE;NAME;QTY\n");
    for (int i = 0; i < count; ++i) {
        const QByteArray name =
            i % 3 == 0 ? QByteArray() : QByteArray(i % 97 == 0 ? 15 : i % 12, 'a' + i % 26);
        file += "C" + QByteArray::number(i % 1000) + ";" + name + ";" + QByteArray::number(i % 500) + "\n";
    }
    return file;
}

// What all threads of the process, the finished ones too, have read from files.
qint64 bytesReadByProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray counters = io.readAll();
    const qsizetype start = counters.indexOf("rchar: ") + 7;
    return counters.mid(start, counters.indexOf('\n', start) - start).toLongLong();
}

class ThreadLog : public ProgressReporter
{
public:
    void update(qint64 position, qint64 total) override
    {
        updates.append({position, total});
        onOtherThread = onOtherThread || std::this_thread::get_id() != thread;
    }
    std::thread::id thread = std::this_thread::get_id();
    bool onOtherThread = false;
    QList<QPair<qint64, qint64>> updates;
};

} // namespace

class TestThreadedSupplierReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void deliversWhatThePlainReaderReads_data();
    void deliversWhatThePlainReaderReads();
    void errorComesAfterTheRecordsBeforeIt_data();
    void errorComesAfterTheRecordsBeforeIt();
    void headerErrorsComeFromTheConstructor();
    void stopsWhenDestroyedEarly_data();
    void stopsWhenDestroyedEarly();
    void reportsProgressOnTheCallersThread();

private:
    QString importPath() const { return m_dir->filePath(QStringLiteral("import.txt")); }
    void write(const QByteArray& file);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestThreadedSupplierReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestThreadedSupplierReader::write(const QByteArray& file)
{
    QFile out(importPath());
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
}

void TestThreadedSupplierReader::deliversWhatThePlainReaderReads_data()
{
    QTest::addColumn<QByteArray>("file"); // null: a generated price list, read into PRICE

    QTest::newRow("generated price list") << QByteArray();
    QTest::newRow("columns missing, names come and go, some cut") << varyingRecords(3 * kBatch + 7);
    QTest::newRow("exactly one batch") << varyingRecords(kBatch);
    QTest::newRow("header only") << QByteArray("CODE;NAME\n");
}

void TestThreadedSupplierReader::deliversWhatThePlainReaderReads()
{
    QFETCH(QByteArray, file);
    if (file.isNull())
        SampleGenerator(20000).writeTextFiles(m_dir->path());
    else
        write(file);
    const std::vector<TableColumn> columns =
        file.isNull() ? std::vector<TableColumn>(Tables::kPriceColumns.cbegin(), Tables::kPriceColumns.cend())
                      : kColumns;

    std::vector<Record> expected;
    SupplierFileReader plain(importPath(), columns);
    while (plain.next())
        expected.push_back({plain.line(), plain.values()});

    std::vector<Record> delivered;
    ThreadedSupplierReader threaded(importPath(), columns);
    QCOMPARE(threaded.columnCount(), columns.size());
    while (threaded.nextBatch()) {
        QVERIFY(threaded.rows() > 0);
        for (size_t row = 0; row < threaded.rows(); ++row)
            delivered.push_back(
                {threaded.line(row), {threaded.values(row), threaded.values(row) + threaded.columnCount()}});
    }

    QCOMPARE(delivered.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        QVERIFY2(delivered[i] == expected[i], qPrintable(QStringLiteral("record %1 differs").arg(i)));
    QCOMPARE(threaded.adjustedCount(), plain.adjustedCount());
    QCOMPARE(threaded.adjustments().size(), plain.adjustments().size());
    for (size_t i = 0; i < plain.adjustments().size(); ++i)
        QCOMPARE(threaded.adjustments()[i].line, plain.adjustments()[i].line);
}

void TestThreadedSupplierReader::errorComesAfterTheRecordsBeforeIt_data()
{
    QTest::addColumn<int>("goodRecords");
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QString>("message");

    const QByteArray extra("X;y;1;extra\n");
    QTest::newRow("first record") << 0 << extra << "строка 2: лишнее значение «extra»";
    QTest::newRow("first of the second batch") << kBatch << extra << "лишнее значение";
    // Far more than the queue holds, so the worker waits for the caller first.
    QTest::newRow("after many batches") << 9 * kBatch + 5 << extra << "лишнее значение";
    QTest::newRow("quote left open at the end")
        << 2 * kBatch - 1 << QByteArray("X;\"y\n") << "незакрытые кавычки";
}

void TestThreadedSupplierReader::errorComesAfterTheRecordsBeforeIt()
{
    QFETCH(int, goodRecords);
    QFETCH(QByteArray, bad);
    QFETCH(QString, message);
    write(varyingRecords(goodRecords) + bad + varyingRecords(10).mid(14));

    ThreadedSupplierReader reader(importPath(), kColumns);
    int delivered = 0;
    qint64 lastLine = 1;
    try {
        while (reader.nextBatch()) {
            delivered += int(reader.rows());
            lastLine = reader.line(reader.rows() - 1);
        }
        QFAIL("no error");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(QStringLiteral("строка %1").arg(goodRecords + 2)),
                 qPrintable(error.message()));
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(delivered, goodRecords);
    QCOMPARE(lastLine, qint64(goodRecords + 1));
}

void TestThreadedSupplierReader::headerErrorsComeFromTheConstructor()
{
    QVERIFY_THROWS_EXCEPTION(Error, ThreadedSupplierReader(importPath(), kColumns));
    write("WHAT;EVER\nA;B\n");
    QVERIFY_THROWS_EXCEPTION(Error, ThreadedSupplierReader(importPath(), kColumns));
}

void TestThreadedSupplierReader::stopsWhenDestroyedEarly_data()
{
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("badRecord"); // -1: none

    QTest::newRow("before the first batch") << 0 << -1;
    QTest::newRow("after the first batch") << 1 << -1;
    QTest::newRow("while the worker waits for room") << 4 << -1;
    QTest::newRow("after the worker failed") << 1 << kBatch + 10;
}

void TestThreadedSupplierReader::stopsWhenDestroyedEarly()
{
    QFETCH(int, taken);
    QFETCH(int, badRecord);
    // Long lines, so that the file is many times what the worker may read ahead.
    QByteArray file("CODE;NAME;QTY\n");
    for (int i = 0; i < 40 * kBatch; ++i) {
        if (i == badRecord)
            file += "X;y;1;extra\n";
        file += "C" + QByteArray::number(i % 1000) + ";n;" + QByteArray::number(i % 500) +
                QByteArray(60, ' ') + "\n";
    }
    write(file);
    const qint64 readBefore = bytesReadByProcess();
    QVERIFY2(readBefore >= 0, "needs /proc/self/io");
    // As when storing a record fails: the reader is destroyed by the unwinding.
    try {
        ThreadedSupplierReader reader(importPath(), kColumns);
        for (int i = 0; i < taken; ++i)
            QVERIFY(reader.nextBatch());
        throw Error(QStringLiteral("disk full"));
    } catch (const Error& error) {
        // The caller's own error, not the worker's.
        QCOMPARE(error.message(), QStringLiteral("disk full"));
    }
    // The worker stopped instead of reading on to the end, and the file is closed.
    const qint64 read = bytesReadByProcess() - readBefore;
    QVERIFY2(read < file.size() / 2,
             qPrintable(QStringLiteral("%1 of %2 bytes read").arg(read).arg(file.size())));
    for (const QFileInfo& descriptor : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System))
        QVERIFY(descriptor.symLinkTarget() != QFileInfo(importPath()).canonicalFilePath());
}

void TestThreadedSupplierReader::reportsProgressOnTheCallersThread()
{
    QByteArray file("CODE;QTY\n");
    while (file.size() < 3500000)
        file += "ABC;12\n";
    write(file);
    ThreadLog log;
    ThreadedSupplierReader reader(importPath(), kColumns, &log);
    QCOMPARE(log.updates.size(), 1); // the header's chunk, before the worker starts
    qint64 records = 0;
    while (reader.nextBatch())
        records += qint64(reader.rows());
    QCOMPARE(records, (file.size() - 9) / 7);
    QVERIFY(!log.onOtherThread);
    QVERIFY(log.updates.size() >= 4);
    for (qsizetype i = 1; i < log.updates.size(); ++i)
        QVERIFY(log.updates[i].first > log.updates[i - 1].first);
    QCOMPARE(log.updates.last(), qMakePair(qint64(file.size()), qint64(file.size())));
}

QTEST_GUILESS_MAIN(TestThreadedSupplierReader)
#include "TestThreadedSupplierReader.moc"
