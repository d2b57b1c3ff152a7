#include "BenchParts.h"
#include "SampleGenerator.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/CrossIndex.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/Schema.h"
#include "core/sqlite/SqlitePriceCatalogue.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "Timing.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

const qint64 kParts = benchParts();
constexpr int kSamples = 100;
constexpr int kRepeats = 5;

// Made once and kept between runs: the folder is TARDESK_BENCH_DIR or the
// temporary folder; a half-made database never takes the final name.
QString madeOnce(const QString& name, const std::function<void(const QString& fileName)>& make)
{
    const QString root = qEnvironmentVariable("TARDESK_BENCH_DIR", QDir::tempPath() + "/tardesk-bench");
    const QString folder = root + "/" + name + "-" + QString::number(kParts);
    if (!QFileInfo::exists(ClientFiles::databaseFileName(folder))) {
        const QString partial = folder + ".partial";
        QDir(partial).removeRecursively();
        QDir().mkpath(partial);
        make(ClientFiles::databaseFileName(partial));
        QDir().rename(partial, folder);
    }
    return ClientFiles::databaseFileName(folder);
}

QString databaseFile()
{
    static const QString fileName = madeOnce("parts", [](const QString& file) {
        ClientFiles::create(QFileInfo(file).path());
        SampleGenerator(kParts, 1).writeDatabase(file);
    });
    return fileName;
}

// The same parts after an update that found three in ten changed: the price
// list then reads each part's change along with it.
QString changesDatabaseFile()
{
    static const QString fileName = madeOnce("changes", [](const QString& file) {
        QFile::copy(databaseFile(), file);
        SQLite::Database db(QFile::encodeName(file).toStdString(), SQLite::OPEN_READWRITE);
        db.exec(Schema::kCreatePriceChanges);
        db.exec("INSERT INTO PRICE_CHANGES (ROW_ID, KIND, OLD_PRICE) SELECT rowid, CASE rowid % 3 WHEN 0 "
                "THEN 'up' WHEN 1 THEN 'down' ELSE 'new' END, PRICE * 0.9 FROM PRICE WHERE rowid % 10 < 3");
    });
    return fileName;
}

std::unique_ptr<SQLite::Database> openDatabase()
{
    return std::make_unique<SQLite::Database>(QFile::encodeName(databaseFile()).toStdString(),
                                              SQLite::OPEN_READONLY);
}

// The catalogue as a client holds it: on its own connection, with its cross index.
struct Catalogue
{
    explicit Catalogue(const QString& fileName = databaseFile()) { database.open(fileName); }

    Database database;
    CrossIndex index;
    SqlitePriceCatalogue catalogue{database, index};
};

SQLite::Database& connection()
{
    static const std::unique_ptr<SQLite::Database> db = openDatabase();
    return *db;
}

// Columns of randomly drawn parts, so frequent maker prefixes come in proportion.
QStringList drawn(const char* column, int minLength)
{
    std::mt19937_64 random(20240601);
    std::uniform_int_distribution<qint64> rowId(1, kParts);
    SQLite::Statement query(connection(), std::string("SELECT ") + column + " FROM PRICE WHERE rowid = ?");
    QStringList values;
    while (values.size() < kSamples) {
        query.reset();
        query.bind(1, static_cast<int64_t>(rowId(random)));
        if (query.executeStep()) {
            const QString value = QString::fromUtf8(query.getColumn(0).getText());
            if (value.size() >= minLength)
                values << value;
        }
    }
    return values;
}

// The fastest full scan that folds case: SQLite's LIKE (ASCII letters only),
// so the speed-up it yields is a lower bound.
size_t scanWithLike(const QString& prefix)
{
    SQLite::Statement query(
        connection(),
        "SELECT DISTINCT CROSSNUMBER FROM PRICE WHERE SHORTPARTNUMBER LIKE ? AND CROSSNUMBER <> ''");
    query.bind(1, prefix.toStdString() + '%');
    size_t count = 0;
    while (query.executeStep())
        ++count;
    return count;
}

// The first search on a connection also reads every cross number once;
// later searches on it are the warm ones timed below.
void BM_CrossIndexBuild(benchmark::State& state)
{
    const QString prefix = drawn("SHORTPARTNUMBER", 6).front().left(3);
    std::vector<double> first, warm;
    size_t bytes = 0;
    for (auto _ : state) {
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            Catalogue client;
            first.push_back(
                milliseconds([&] { benchmark::DoNotOptimize(client.catalogue.crossesOf(prefix)); }));
            warm.push_back(
                milliseconds([&] { benchmark::DoNotOptimize(client.catalogue.crossesOf(prefix)); }));
            bytes = client.index.memoryBytes();
        }
    }
    state.counters["build_median_ms"] = percentile(first, 0.5) - percentile(warm, 0.5);
    state.counters["index_mb"] = double(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_CrossIndexBuild)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CrossSearch(benchmark::State& state)
{
    const int length = int(state.range(0));
    QStringList prefixes;
    for (const QString& number : drawn("SHORTPARTNUMBER", length))
        prefixes << number.left(length);
    std::vector<double> search, scan, speedUp;
    size_t found = 0;
    Catalogue client;
    client.catalogue.crossesOf(prefixes.front());
    for (auto _ : state) {
        for (const QString& prefix : prefixes) {
            std::vector<double> times;
            for (int repeat = 0; repeat < kRepeats; ++repeat)
                times.push_back(
                    milliseconds([&] { found += size_t(client.catalogue.crossesOf(prefix).size()); }));
            const double scanTime = milliseconds([&] { benchmark::DoNotOptimize(scanWithLike(prefix)); });
            search.insert(search.end(), times.begin(), times.end());
            scan.push_back(scanTime);
            speedUp.push_back(scanTime / percentile(times, 0.5));
        }
    }
    state.counters["search_median_ms"] = percentile(search, 0.5);
    state.counters["search_p95_ms"] = percentile(search, 0.95);
    state.counters["scan_median_ms"] = percentile(scan, 0.5);
    state.counters["speedup_median"] = percentile(speedUp, 0.5);
    state.counters["crosses_per_search"] = double(found) / double(search.size());
}
BENCHMARK(BM_CrossSearch)->Arg(3)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond);

// Argument 1: with the changes of the last update, as the change column shows them.
void BM_PriceList(benchmark::State& state)
{
    const QStringList crosses = drawn("CROSSNUMBER", 1);
    Catalogue client(state.range(0) ? changesDatabaseFile() : databaseFile());
    std::vector<double> times;
    size_t rows = 0;
    for (auto _ : state)
        for (const QString& cross : crosses)
            for (int repeat = 0; repeat < kRepeats; ++repeat)
                times.push_back(milliseconds([&] {
                    rows += client.catalogue.priceList(cross, {41.25, 48.1}).size();
                }));
    state.counters["open_median_ms"] = percentile(times, 0.5);
    state.counters["open_p95_ms"] = percentile(times, 0.95);
    state.counters["rows_per_open"] = double(rows) / double(times.size());
}
BENCHMARK(BM_PriceList)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peak resident memory of the whole run, the cross index included.
void BM_PeakMemory(benchmark::State& state)
{
    rusage usage{};
    for (auto _ : state)
        getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_PeakMemory)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
