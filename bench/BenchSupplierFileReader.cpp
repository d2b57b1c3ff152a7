#include "SampleGenerator.h"
#include "core/db/Schema.h"
#include "core/import/SupplierFileReader.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

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
    const std::vector<TableColumn> columns(Schema::kPriceColumns.cbegin(), Schema::kPriceColumns.cend());
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

} // namespace

// Rows per second (wall clock) is items_per_second; run the large size alone with
// --benchmark_filter=readPriceList/1000000.
BENCHMARK(readPriceList)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

BENCHMARK_MAIN();
