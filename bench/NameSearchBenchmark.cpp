#include "BenchParts.h"
#include "SampleGenerator.h"
#include "core/import/PriceListUpdate.h"
#include "core/session/ShopStorage.h"
#include "core/storage/NameIndex.h"
#include "core/storage/Storage.h"
#include "core/text/NameWords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "Timing.h"

#include <cstdio>
#include <random>
#include <set>

// The name search on a generated list of a million parts, as the window
// runs it (the first 1000 and the count of all), for one-, two- and
// three-word queries made of the beginnings of words of the list's names.
//   tardesk-bench-names [FOLDER]
// FOLDER (default $TARDESK_BENCH_DIR/names-1000000) is a shop folder: in its
// Tardesk.mdb, or on the server its Tardesk.ini names. An empty shop is
// loaded first through the update from generated supplier files.
namespace {

const qint64 kParts = benchParts();
constexpr int kQueries = 300;
constexpr qint64 kShown = 1000;

QString defaultFolder()
{
    const QString root = qEnvironmentVariable("TARDESK_BENCH_DIR", QDir::tempPath() + "/tardesk-bench");
    return root + "/names-" + QString::number(kParts);
}

void loadIfEmpty(const QString& folder)
{
    if (ShopStorage::serverConnection(folder).isEmpty() &&
        !QFileInfo::exists(ShopStorage::databaseFileName(folder))) {
        QDir().mkpath(folder);
        ShopStorage::create(folder);
    }
    const std::unique_ptr<Storage> storage = ShopStorage::open(folder, ShopStorage::Access::Read);
    if (storage->names().isBuilt() && storage->names().find(NameWords::query(u"фильтр"), 1).total > 0)
        return;
    std::fprintf(stderr, "loading %lld generated parts through the update...\n",
                 static_cast<long long>(kParts));
    SampleGenerator(kParts, 1).writeTextFiles(folder);
    const double ms = milliseconds([&] { PriceListUpdate(folder, *storage, [](const QString&) {}).run(); });
    std::fprintf(stderr, "loaded in %.1f s\n", ms / 1000);
}

// Beginnings of words of the names, two characters or longer, one to three
// words from one name, in a fixed pseudo-random choice.
std::vector<QStringList> queries()
{
    std::vector<QStringList> names;
    SampleGenerator(kParts, 1).forEachPart([&](const SampleGenerator::Part& part) {
        if (names.size() < 20000)
            names.push_back(NameWords::indexed(part.partName).split(QLatin1Char(' ')));
    });
    std::mt19937 random(25);
    std::vector<QStringList> made;
    while (made.size() < size_t(kQueries)) {
        const QStringList& words = names[random() % names.size()];
        const int count = int(made.size() % 3) + 1;
        if (words.size() < count)
            continue;
        std::set<int> picked;
        while (int(picked.size()) < count)
            picked.insert(int(random() % unsigned(words.size())));
        QStringList query;
        for (const int index : picked) {
            const QString& word = words[index];
            const int length =
                word.size() <= 2 ? int(word.size()) : 2 + int(random() % unsigned(word.size() - 1));
            query << word.left(length);
        }
        if (!NameWords::query(query.join(QLatin1Char(' '))).isEmpty())
            made.push_back(query);
    }
    return made;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const QString folder = arguments.size() > 1 ? arguments[1] : defaultFolder();
    try {
        loadIfEmpty(folder);
        const std::unique_ptr<Storage> storage = ShopStorage::open(folder, ShopStorage::Access::Read);
        NameIndex& names = storage->names();
        const std::vector<QStringList> made = queries();
        // Once round, so that the first queries do not pay for a cold cache.
        for (const QStringList& query : made)
            names.find(NameWords::query(query.join(QLatin1Char(' '))), kShown);
        std::vector<double> all, upTo10000, byWords[3];
        double slowest = 0;
        QString slowestQuery;
        for (const QStringList& query : made) {
            qint64 total = 0;
            const double ms = milliseconds(
                [&] { total = names.find(NameWords::query(query.join(QLatin1Char(' '))), kShown).total; });
            all.push_back(ms);
            byWords[query.size() - 1].push_back(ms);
            if (total <= 10000)
                upTo10000.push_back(ms);
            if (ms > slowest) {
                slowest = ms;
                slowestQuery = query.join(QLatin1Char(' ')) + QStringLiteral(" (%1 found)").arg(total);
            }
        }
        QTextStream out(stdout);
        out << "queries: " << all.size() << ", matching at most 10000 parts: " << upTo10000.size() << "\n";
        out << "p95, matching at most 10000: " << percentile(upTo10000, 0.95) << " ms (goal < 20)\n";
        out << "p95, all queries: " << percentile(all, 0.95) << " ms (goal < 100)\n";
        out << "median, all queries: " << percentile(all, 0.5) << " ms\n";
        for (int words = 0; words < 3; ++words)
            out << "p95, " << words + 1 << " word(s): " << percentile(byWords[words], 0.95) << " ms\n";
        out << "slowest: " << slowest << " ms, " << slowestQuery << "\n";
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
