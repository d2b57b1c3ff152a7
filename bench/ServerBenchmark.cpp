#include "core/postgres/PgConnection.h"
#include "core/session/ShopStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/storage/Storage.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "Timing.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A shop on the server named by TARDESK_BENCH_SERVER, loaded beforehand
// (bench/server.sh does both): searches and price lists through it, as a
// counter makes them.
namespace {

constexpr int kSamples = 100;
constexpr int kRepeats = 5;

QString server()
{
    return qEnvironmentVariable("TARDESK_BENCH_SERVER");
}

std::unique_ptr<Storage> openShop()
{
    ShopStorage::setServer(server());
    return ShopStorage::open(QDir::tempPath(), ShopStorage::Access::Read);
}

// Columns of randomly drawn parts, so frequent maker prefixes come in proportion.
QStringList drawn(const char* column, int minLength)
{
    PgConnection db(server());
    const PgResult rows = db.exec(std::string("SELECT ") + column + " FROM PRICE WHERE length(" + column +
                                      ") >= $1 ORDER BY md5(ROW_NO::text) LIMIT $2",
                                  {minLength, kSamples});
    QStringList values;
    for (int row = 0; row < rows.rows(); ++row)
        values << rows.string(row, 0);
    return values;
}

// The cross map a counter reads once, after its window shows.
void BM_ServerCrossMapBuild(benchmark::State& state)
{
    std::vector<double> times;
    for (auto _ : state)
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            const std::unique_ptr<Storage> shop = openShop();
            times.push_back(milliseconds([&] { shop->catalogue().prepare(); }));
        }
    state.counters["build_median_ms"] = percentile(times, 0.5);
}
BENCHMARK(BM_ServerCrossMapBuild)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ServerSearch(benchmark::State& state)
{
    const int length = int(state.range(0));
    QStringList prefixes;
    for (const QString& number : drawn("SHORTPARTNUMBER", length))
        prefixes << number.left(length);
    const std::unique_ptr<Storage> shop = openShop();
    shop->catalogue().prepare();
    std::vector<double> times;
    for (auto _ : state)
        for (const QString& prefix : prefixes)
            for (int repeat = 0; repeat < kRepeats; ++repeat)
                times.push_back(
                    milliseconds([&] { benchmark::DoNotOptimize(shop->catalogue().crossesOf(prefix)); }));
    state.counters["search_median_ms"] = percentile(times, 0.5);
    state.counters["search_p95_ms"] = percentile(times, 0.95);
}
BENCHMARK(BM_ServerSearch)->Arg(3)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ServerPriceList(benchmark::State& state)
{
    const QStringList crosses = drawn("CROSSNUMBER", 1);
    const std::unique_ptr<Storage> shop = openShop();
    std::vector<double> times;
    for (auto _ : state)
        for (const QString& cross : crosses)
            for (int repeat = 0; repeat < kRepeats; ++repeat)
                times.push_back(milliseconds([&] {
                    benchmark::DoNotOptimize(shop->catalogue().priceList(cross, {41.25, 48.1}));
                }));
    state.counters["open_median_ms"] = percentile(times, 0.5);
    state.counters["open_p95_ms"] = percentile(times, 0.95);
}
BENCHMARK(BM_ServerPriceList)->Iterations(1)->Unit(benchmark::kMillisecond);

// Sixteen counters, each on its own connection, search without pause while
// `tardesk-admin update` replaces the list (TARDESK_BENCH_ADMIN, on the shop
// folder TARDESK_BENCH_UPDATE_FOLDER, whose supplier files hold another
// list): every answer must be the old list's or the new list's.
void BM_ServerLoadDuringUpdate(benchmark::State& state)
{
    const QString admin = qEnvironmentVariable("TARDESK_BENCH_ADMIN");
    const QString folder = qEnvironmentVariable("TARDESK_BENCH_UPDATE_FOLDER");
    if (admin.isEmpty() || folder.isEmpty()) {
        state.SkipWithError("TARDESK_BENCH_ADMIN and TARDESK_BENCH_UPDATE_FOLDER name the update to run");
        return;
    }
    QStringList prefixes;
    for (const QString& number : drawn("SHORTPARTNUMBER", 4))
        prefixes << number.left(4);
    const auto answers = [&prefixes] {
        const std::unique_ptr<Storage> shop = openShop();
        std::map<QString, QStringList> found;
        for (const QString& prefix : prefixes)
            found[prefix] = shop->catalogue().crossesOf(prefix);
        return found;
    };
    constexpr int kCounters = 16;
    std::atomic<bool> updating{true};
    std::atomic<int> errors{0};
    std::mutex mutex;
    // Each answer by its prefix's place and a digest: millions of whole
    // answers would take gigabytes.
    std::vector<std::pair<int, size_t>> seen;
    std::vector<double> times;
    for (auto _ : state) {
        const std::map<QString, QStringList> before = answers();
        std::vector<std::thread> counters;
        for (int counter = 0; counter < kCounters; ++counter)
            counters.emplace_back([&, counter] {
                std::unique_ptr<Storage> shop = openShop();
                for (int i = counter; updating; i = (i + 1) % int(prefixes.size())) {
                    const QString& prefix = prefixes[i];
                    try {
                        QStringList crosses;
                        const double ms =
                            milliseconds([&] { crosses = shop->catalogue().crossesOf(prefix); });
                        const std::lock_guard<std::mutex> lock(mutex);
                        seen.emplace_back(i, qHash(crosses));
                        times.push_back(ms);
                    } catch (const std::exception&) {
                        ++errors;
                    }
                }
            });
        QProcess update;
        update.start(admin, {QStringLiteral("update"), folder});
        const bool finished = update.waitForFinished(-1) && update.exitCode() == 0;
        updating = false;
        for (std::thread& counter : counters)
            counter.join();
        if (!finished) {
            state.SkipWithError(update.readAllStandardError().toStdString().c_str());
            return;
        }
        const std::map<QString, QStringList> after = answers();
        int mixed = 0;
        for (const auto& [place, digest] : seen)
            mixed +=
                digest != qHash(before.at(prefixes[place])) && digest != qHash(after.at(prefixes[place]));
        state.counters["errors"] = errors.load();
        state.counters["neither_old_nor_new"] = mixed;
        state.counters["searches"] = double(seen.size());
        state.counters["search_p95_ms"] = percentile(times, 0.95);
    }
}
BENCHMARK(BM_ServerLoadDuringUpdate)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peak resident memory of the whole run, the cross maps included.
void BM_ServerPeakMemory(benchmark::State& state)
{
    rusage usage{};
    for (auto _ : state)
        getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ServerPeakMemory)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
