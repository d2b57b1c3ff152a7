#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/import/SupplierFileReader.h"
#include "core/storage/Tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One generated folder per size, kept for all runs of the process.
QString sampleFolder(qint64 parts)
{
    static std::map<qint64, std::unique_ptr<QTemporaryDir>> folders;
    auto& folder = folders[parts];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        SampleGenerator(parts).writeTextFiles(folder->path());
    }
    return folder->path();
}

void readPriceList(benchmark::State& state)
{
    const QString path = QDir(sampleFolder(state.range(0))).filePath(QStringLiteral("import.txt"));
    const std::vector<TableColumn> columns(Tables::kPriceColumns.cbegin(), Tables::kPriceColumns.cend());
    qint64 rows = 0;
    for (auto _ : state) {
        SupplierFileReader reader(path, columns);
        while (reader.next()) {
            benchmark::DoNotOptimize(reader.values().data());
            ++rows;
        }
        if (reader.adjustedCount() != 0)
            state.SkipWithError("the generated file needed adjustments");
    }
    state.SetItemsProcessed(rows);
    state.counters["bytes"] = double(QFileInfo(path).size());
}

const QByteArray kHeader =
    "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\r\n";

QByteArray manyRecords(const QByteArray& record, int count)
{
    QByteArray records = kHeader;
    for (int i = 0; i < count; ++i)
        records += record;
    return records;
}

QByteArray utf16WithMark(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Files a supplier might send that the reader must refuse, or read, quickly
// and in little memory.
struct Hostile
{
    const char* name;
    QByteArray (*make)();
};
const Hostile kHostile[] = {
    {"closed 50 MB quoted field",
     []() -> QByteArray { return kHeader + "G1;\"" + QByteArray(50 << 20, 'x') + "\";A1\r\n"; }},
    {"quote left open, 50 MB", []() -> QByteArray { return kHeader + "G1;\"" + QByteArray(50 << 20, 'x'); }},
    {"line of 16 million delimiters", []() -> QByteArray { return kHeader + QByteArray(16000000, ';'); }},
    {"header of 8 million fields",
     []() -> QByteArray { return "GROUPCODE" + QByteArray(8000000, ';') + "\r\n"; }},
    {"15 MB value, cut and reported",
     []() -> QByteArray { return kHeader + "G1;A-1;A1;" + QByteArray(15 << 20, 'x') + "\r\n"; }},
    {"100,000 records, every value adjusted",
     []() -> QByteArray {
         return manyRecords("G1234567890123456;A;A;N;X1234567890;1e999;1e9;x;x;x;x;x;x;x;x\r\n", 100000);
     }},
    {"100,000 records in UTF-16",
     []() -> QByteArray {
         return utf16WithMark(manyRecords("G1;A-1;A1;Щётка;X1;12.5;1;2;3;4;5;6;7;8;9\r\n", 100000));
     }},
};

QString hostileFile(int index)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QString::number(index) + QStringLiteral("/import.txt"));
    if (!QFile::exists(path)) {
        QDir(folder.path()).mkpath(QString::number(index));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(kHostile[index].make()) < 0)
            return QString();
    }
    return path;
}

// Each read in a child process, whose peak resident memory (with the little
// this process had at the fork) is the peak_MB counter.
void readHostile(benchmark::State& state)
{
    const int index = int(state.range(0));
    state.SetLabel(kHostile[index].name);
    const QString path = hostileFile(index);
    const std::vector<TableColumn> columns(Tables::kPriceColumns.cbegin(), Tables::kPriceColumns.cend());
    long peakKilobytes = 0;
    for (auto _ : state) {
        const pid_t child = ::fork();
        if (child == 0) {
            try {
                SupplierFileReader reader(path, columns);
                while (reader.next()) {
                }
            } catch (const Error&) {
            }
            ::_exit(0);
        }
        int status = 0;
        rusage usage = {};
        if (child < 0 || ::wait4(child, &status, 0, &usage) != child || status != 0)
            state.SkipWithError("the reading process failed");
        peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
    }
    state.counters["peak_MB"] = double(peakKilobytes) / 1024;
    state.counters["bytes"] = double(QFileInfo(path).size());
}

} // namespace

// Rows per second (wall clock) is items_per_second; run the large size alone with
// --benchmark_filter=readPriceList/1000000.
BENCHMARK(readPriceList)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// Time and peak memory per file; the goal is under 200 MB for any file.
BENCHMARK(readHostile)
    ->DenseRange(0, std::size(kHostile) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

BENCHMARK_MAIN();
