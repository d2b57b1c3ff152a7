#include "SampleGenerator.h"
#include "core/order/Order.h"
#include "core/session/ClientSession.h"
#include "core/session/ShopStorage.h"
#include "core/storage/OrderStorage.h"
#include "core/storage/PriceRow.h"
#include "core/storage/Storage.h"
#include "gui/order/OrderWindow.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr qint64 kParts = 1000000;
constexpr int kOrderLines = 500;

// A generated price list with a 500-line order, made once and kept between
// runs in TARDESK_BENCH_DIR (or the temporary folder).
QString programDir()
{
    static const QString folder = [] {
        const QString root = qEnvironmentVariable("TARDESK_BENCH_DIR", QDir::tempPath() + "/tardesk-bench");
        const QString ready = root + "/order-" + QString::number(kParts);
        if (QFile::exists(ShopStorage::databaseFileName(ready)))
            return ready;
        const QString partial = ready + ".partial";
        QDir(partial).removeRecursively();
        ShopStorage::create(partial);
        SampleGenerator(kParts, 1).writeDatabase(ShopStorage::databaseFileName(partial));
        const std::unique_ptr<Storage> storage = ShopStorage::open(partial, ShopStorage::Access::Read);
        SQLite::Database db(QFile::encodeName(ShopStorage::databaseFileName(partial)).toStdString(),
                            SQLite::OPEN_READONLY);
        SQLite::Statement part(db, "SELECT GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME FROM PRICE "
                                   "WHERE rowid = ?");
        std::mt19937_64 random(20240601);
        std::uniform_int_distribution<qint64> rowId(1, kParts);
        for (int lines = 0; lines < kOrderLines;) {
            part.reset();
            part.bind(1, static_cast<int64_t>(rowId(random)));
            if (!part.executeStep())
                continue;
            PriceRow row;
            row.groupCode = QString::fromUtf8(part.getColumn(0).getText());
            row.partNumber = QString::fromUtf8(part.getColumn(1).getText());
            row.shortPartNumber = QString::fromUtf8(part.getColumn(2).getText());
            row.partName = QString::fromUtf8(part.getColumn(3).getText());
            // Lets go of the file for the order's write.
            part.reset();
            storage->order().add(row, lines % 7 + 1);
            lines = int(storage->order().lines().size());
        }
        QDir().rename(partial, ready);
        return ready;
    }();
    return folder;
}

// Reading the order and filling the window's table, as opening the window does.
void BM_OrderWindowOpen(benchmark::State& state)
{
    ClientSession session(programDir());
    session.openDatabase();
    OrderWindow window(
        session, [] { return std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}; }, nullptr);
    window.show();
    for (auto _ : state) {
        window.reread();
        benchmark::DoNotOptimize(window.gridOrder->model()->rowCount());
    }
    if (window.gridOrder->model()->rowCount() != kOrderLines)
        state.SkipWithError("the order does not have 500 lines");
}
BENCHMARK(BM_OrderWindowOpen)->Unit(benchmark::kMillisecond);

// The database part alone.
void BM_OrderRead(benchmark::State& state)
{
    const std::unique_ptr<Storage> storage = ShopStorage::open(programDir(), ShopStorage::Access::Read);
    for (auto _ : state)
        benchmark::DoNotOptimize(Order::read(*storage).lines().size());
}
BENCHMARK(BM_OrderRead)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
