#include "SampleGenerator.h"
#include "core/import/PriceListUpdate.h"
#include "core/session/ShopStorage.h"
#include "core/sqlite/ClientFiles.h"
#include "core/storage/Storage.h"
#include "support/ClientFolder.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Where an update is killed: at the first report of a stage (numbered as in
// its "(N/7)") at or past a position of one thing that stage counts, told
// by its total (a stage may count two); total 0 is the stage's start. Which
// reports come is a matter of timing, but every run passes every position.
struct Moment
{
    int stage = 0;
    qint64 total = 0;
    qint64 position = 0;

    bool operator<(const Moment& other) const
    {
        return std::tie(stage, total, position) < std::tie(other.stage, other.total, other.position);
    }
};

struct Report
{
    int stage = 0;
    qint64 position = 0;
    qint64 total = 0;
};

// Follows the stages and the progress of an update, records them and kills
// the process at the moment given.
class Moments : public ProgressReporter
{
public:
    explicit Moments(std::optional<Moment> killAt = std::nullopt) : m_killAt(killAt) {}

    void enterStage(const QString& message)
    {
        static const QRegularExpression number(QStringLiteral("\\((\\d+)/\\d+\\)$"));
        const QRegularExpressionMatch match = number.match(message);
        m_stage = match.hasMatch() ? match.captured(1).toInt() : -1;
        m_stages.emplace(m_stage, message);
        update(0, 0);
    }

    void update(qint64 position, qint64 total) override
    {
        if (m_killAt && m_killAt->stage == m_stage && (m_killAt->total == 0 || m_killAt->total == total) &&
            position >= m_killAt->position)
            ::raise(SIGKILL);
        m_reports.push_back({m_stage, position, total});
    }

    const std::map<int, QString>& stages() const { return m_stages; }
    const std::vector<Report>& reports() const { return m_reports; }

private:
    std::optional<Moment> m_killAt;
    int m_stage = 0; // before the first stage message
    std::map<int, QString> m_stages;
    std::vector<Report> m_reports;
};

void runUpdate(const QString& folder, Moments& moments)
{
    const std::unique_ptr<Storage> storage = ShopStorage::open(folder, ShopStorage::Access::Read);
    PriceListUpdate update(
        folder, *storage, [&](const QString& message) { moments.enterStage(message); }, &moments);
    update.run();
}

// The price list and the groups, row by row.
QByteArray lists(const QString& folder)
{
    SQLite::Database db(ClientFiles::databaseFileName(folder).toStdString(), SQLite::OPEN_READWRITE);
    if (db.execAndGet("PRAGMA integrity_check").getString() != "ok")
        return "damaged";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* sql : {"SELECT * FROM PRICE ORDER BY rowid", "SELECT * FROM GROUPS ORDER BY rowid"}) {
        SQLite::Statement rows(db, sql);
        while (rows.executeStep()) {
            for (int i = 0; i < rows.getColumnCount(); ++i)
                hash.addData(QByteArray(QByteArray(rows.getColumn(i).getText()) + '\x1f'));
            hash.addData("\n");
        }
        hash.addData("\x1e");
    }
    return hash.result();
}

// The same on a server: the lists and the changes, in their order.
QByteArray serverLists(const ClientFolder& folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* sql : {"SELECT * FROM PRICE ORDER BY ROW_NO", "SELECT * FROM GROUPS ORDER BY GROUPCODE",
                            "SELECT * FROM PRICE_CHANGES ORDER BY ROW_ID"})
        hash.addData(QByteArray(folder.queryRows(sql).join(QLatin1Char('\n')).toUtf8() + "\x1e"));
    return hash.result();
}

// Spreads count moments evenly over [first, last].
std::vector<qint64> spread(qint64 first, qint64 last, int count)
{
    std::vector<qint64> moments;
    for (int i = 0; i < count; ++i)
        moments.push_back(first + (count > 1 ? (last - first) * i / (count - 1) : 0));
    return moments;
}

} // namespace

// Kills an update at twenty moments: then Tardesk.mdb must pass the
// integrity check and hold exactly the old or exactly the new lists, and
// the next update must succeed. The new list has TARDESK_CRASH_PARTS parts
// (10,000 unless set; TARDESK_CRASH_PARTS=1000000 for the full-size run).
class TestUpdateCrashSafety : public QObject
{
    Q_OBJECT

public:
    TestUpdateCrashSafety()
    {
        // Forty updates of a million parts outlast QtTest's five minutes for
        // a test function; read once, before the first function starts.
        if (qEnvironmentVariableIsSet("TARDESK_CRASH_PARTS") &&
            !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
            qputenv("QTEST_FUNCTION_TIMEOUT", QByteArray::number(60 * 60 * 1000));
    }

private slots:
    void killedUpdateLeavesOldOrNew();
    void interruptedServerUpdateLeavesOldOrNew_data();
    void interruptedServerUpdateLeavesOldOrNew();
};

void TestUpdateCrashSafety::killedUpdateLeavesOldOrNew()
{
    SKIP_ON_SERVER(
        "Tardesk.mdb's integrity and its swap of tables; see interruptedServerUpdateLeavesOldOrNew");
    const int newParts = qEnvironmentVariableIsSet("TARDESK_CRASH_PARTS")
                             ? qEnvironmentVariableIntValue("TARDESK_CRASH_PARTS")
                             : 10000;
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString database = ClientFiles::databaseFileName(folder);
    ClientFiles::create(folder);
    SampleGenerator(newParts / 2, 1).writeDatabase(database);
    SampleGenerator(newParts, 2).writeTextFiles(folder);
    const QString pristine = dir.filePath(QStringLiteral("pristine.mdb"));
    QVERIFY(QFile::copy(database, pristine));
    const QByteArray oldLists = lists(folder);

    Moments whole;
    runUpdate(folder, whole);
    const QByteArray newLists = lists(folder);
    QVERIFY(newLists != oldLists);
    QVERIFY2(!whole.stages().count(-1), "a stage message without its number");

    // What the stages count (bytes of a file read, parts indexed, steps of
    // the swap) by stage and total, from the first to the last position reported.
    struct Counted
    {
        qint64 first = 0;
        qint64 last = 0;
        int reports = 0;
    };
    std::map<std::pair<int, qint64>, Counted> counted;
    for (const Report& report : whole.reports()) {
        if (report.total <= 0)
            continue;
        Counted& thing = counted[{report.stage, report.total}];
        if (thing.reports++ == 0)
            thing.first = report.position;
        thing.last = std::max(thing.last, report.position);
    }
    // The swap in Tardesk.mdb, the moments that matter most, reports last,
    // counting its steps; its last step, which commits, reports nothing.
    const Report& last = whole.reports().back();
    QVERIFY2(last.total > 0, "the update does not end with the swap in the database");
    const std::pair<int, qint64> swapCounter{last.stage, last.total};
    const Counted swap = counted.at(swapCounter);
    QVERIFY2(swap.reports >= 3, "the swap in the database reports too seldom to be tested");

    std::set<Moment> killAt;
    for (const auto& stage : whole.stages())
        killAt.insert({stage.first, 0, 0});
    for (qint64 step : spread(swap.first, swap.last, 8))
        killAt.insert({swapCounter.first, swapCounter.second, step});
    // The end of each other thing counted, and the rest spread evenly over
    // the largest, import.txt.
    std::map<std::pair<int, qint64>, Counted> reads = counted;
    reads.erase(swapCounter);
    QVERIFY(!reads.empty());
    for (const auto& [counter, thing] : reads)
        killAt.insert({counter.first, counter.second, thing.last});
    const auto largest = std::max_element(reads.begin(), reads.end(), [](const auto& a, const auto& b) {
        return a.first.second < b.first.second;
    });
    const int rest = 20 - int(killAt.size());
    for (int i = 1; i <= rest; ++i)
        killAt.insert({largest->first.first, largest->first.second, largest->second.last * i / (rest + 1)});
    QCOMPARE(killAt.size(), size_t(20));

    int sawOld = 0, sawNew = 0;
    for (const Moment& moment : killAt) {
        QVERIFY(QFile::remove(database) && QFile::copy(pristine, database));
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            Moments moments(moment);
            try {
                runUpdate(folder, moments);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        const QString stage = whole.stages().at(moment.stage);
        const QString where =
            moment.position == 0
                ? QStringLiteral("the start of «%1»").arg(stage)
                : QStringLiteral("%1 of %2 in «%3»").arg(moment.position).arg(moment.total).arg(stage);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 qPrintable(QStringLiteral("%1 was never reached").arg(where)));

        const QByteArray after = lists(folder);
        QVERIFY2(after == oldLists || after == newLists,
                 qPrintable(QStringLiteral("neither list after a kill at %1").arg(where)));
        (after == oldLists ? sawOld : sawNew)++;
        // Nothing left behind stops the next update.
        Moments next;
        runUpdate(folder, next);
        QCOMPARE(lists(folder), newLists);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("~temp*"), QStringLiteral("Tardesk.mdb-*")}),
                 QStringList());
    }
    QCOMPARE(sawOld + sawNew, 20);
    QVERIFY(sawOld > 0);
}

void TestUpdateCrashSafety::interruptedServerUpdateLeavesOldOrNew_data()
{
    QTest::addColumn<bool>("kill"); // else another connection ends the update's with pg_terminate_backend
    QTest::newRow("program killed") << true;
    QTest::newRow("connection dropped") << false;
}

// An update on a server killed, or its connection dropped, at the start of
// every stage and along the reading of import.txt: the shop then holds the
// old lists or the new, and the next update goes through.
void TestUpdateCrashSafety::interruptedServerUpdateLeavesOldOrNew()
{
    QFETCH(bool, kill);
    if (!ClientFolder::onServer()) {
        // Not QSKIP: clang's -pedantic refuses its variadic form with one argument.
        QTest::qSkip("the update on a server, in TestUpdateCrashSafety_pg", __FILE__, __LINE__);
        return;
    }
    const auto loaded = [](ClientFolder& folder, quint64 seed) {
        SampleGenerator(seed == 1 ? 2000 : 4000, seed).writeTextFiles(folder.path());
        Moments moments;
        runUpdate(folder.path(), moments);
        return moments;
    };
    ClientFolder model;
    loaded(model, 1);
    const QByteArray oldLists = serverLists(model);
    const Moments whole = loaded(model, 2);
    const QByteArray newLists = serverLists(model);
    QVERIFY(newLists != oldLists);

    // Every stage's start and, when killed, along the stage that reads the most.
    std::set<Moment> interruptAt;
    Report largest;
    for (const Report& report : whole.reports()) {
        if (!whole.stages().count(report.stage))
            continue;
        interruptAt.insert({report.stage, 0});
        if (report.total > largest.total)
            largest = report;
    }
    qint64 read = 0;
    for (const Report& report : whole.reports())
        if (report.stage == largest.stage)
            read = std::max(read, report.position);
    QVERIFY(interruptAt.size() >= 5 && read > 0);
    if (kill)
        for (qint64 position : spread(read / 4, read, 4))
            interruptAt.insert({largest.stage, largest.total, position});

    int sawOld = 0;
    for (const Moment& moment : interruptAt) {
        ClientFolder folder;
        loaded(folder, 1);
        SampleGenerator(4000, 2).writeTextFiles(folder.path());
        const QString where =
            QStringLiteral("%1 in «%2»").arg(moment.position).arg(whole.stages().at(moment.stage));
        if (kill) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                Moments moments(moment);
                try {
                    runUpdate(folder.path(), moments);
                } catch (...) {
                    ::_exit(2);
                }
                ::_exit(0);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                     qPrintable(where + " never reached"));
        } else {
            bool dropped = false;
            Moments moments;
            const std::unique_ptr<Storage> storage =
                ShopStorage::open(folder.path(), ShopStorage::Access::Read);
            PriceListUpdate update(folder.path(), *storage, [&](const QString& message) {
                moments.enterStage(message);
                if (!dropped && moments.stages().rbegin()->first == moment.stage) {
                    dropped = true;
                    folder.exec("SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = 'advisory'");
                }
            });
            try {
                update.run();
            } catch (const Error&) {
            }
            QVERIFY2(dropped, qPrintable(where + " never reached"));
        }
        // The server rolls back a lost client's transaction once it notices.
        for (int wait = 0; wait < 100 && folder.queryText("SELECT count(*) FROM pg_locks WHERE locktype = "
                                                          "'advisory'") != QLatin1String("0");
             ++wait)
            QTest::qWait(50);
        const QByteArray after = serverLists(folder);
        QVERIFY2(after == oldLists || after == newLists, qPrintable("neither list after " + where));
        sawOld += after == oldLists;
        // Nothing left behind stops the next update (which, after the new list, finds no changes).
        Moments next;
        runUpdate(folder.path(), next);
        if (after == oldLists)
            QVERIFY2(serverLists(folder) == newLists, qPrintable("the next update after " + where));
    }
    QVERIFY(sawOld > 0);
}

QTEST_GUILESS_MAIN(TestUpdateCrashSafety)
#include "TestUpdateCrashSafety.moc"
