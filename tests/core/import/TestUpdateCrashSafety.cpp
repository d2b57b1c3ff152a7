#include "SampleGenerator.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/import/PriceListUpdate.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Every report of an update, stages and progress alike. At the chosen report
// the process kills itself: the moment depends on the work done, not on the
// speed of the machine.
class Moments : public ProgressReporter
{
public:
    void update(qint64, qint64 total) override
    {
        totals.push_back(total);
        if (qint64(totals.size()) == killAt)
            ::raise(SIGKILL);
    }

    qint64 killAt = -1;
    std::vector<qint64> totals; // of each report so far
};

void runUpdate(const QString& folder, Moments& moments)
{
    DatabaseLock lock(folder);
    PriceListUpdate update(
        folder, lock, [&](const QString&) { moments.update(0, 0); }, &moments);
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

private slots:
    void killedUpdateLeavesOldOrNew();
};

void TestUpdateCrashSafety::killedUpdateLeavesOldOrNew()
{
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
    // The copy into Tardesk.mdb, the moments that matter most, reports last,
    // counting its pages.
    const qint64 reports = qint64(whole.totals.size());
    qint64 copyStart = reports;
    while (copyStart > 1 && whole.totals[size_t(copyStart - 2)] == whole.totals.back())
        --copyStart;
    QVERIFY2(reports - copyStart >= 3, "the copy into the database reports too seldom to be tested");
    const int duringCopy = int(std::min<qint64>(8, reports - copyStart + 1));
    std::vector<qint64> killAt = spread(copyStart, reports, duringCopy);
    for (qint64 moment : spread(1, copyStart - 1, 20 - duringCopy))
        killAt.push_back(moment);
    QCOMPARE(std::set<qint64>(killAt.begin(), killAt.end()).size(), size_t(20));

    int sawOld = 0, sawNew = 0;
    for (qint64 moment : killAt) {
        QVERIFY(QFile::remove(database) && QFile::copy(pristine, database));
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            Moments moments;
            moments.killAt = moment;
            try {
                runUpdate(folder, moments);
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 qPrintable(QStringLiteral("report %1 of %2 was never reached").arg(moment).arg(reports)));

        const QByteArray after = lists(folder);
        QVERIFY2(
            after == oldLists || after == newLists,
            qPrintable(
                QStringLiteral("neither list after a kill at report %1 of %2").arg(moment).arg(reports)));
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

QTEST_GUILESS_MAIN(TestUpdateCrashSafety)
#include "TestUpdateCrashSafety.moc"
