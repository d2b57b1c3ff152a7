#include "SampleGenerator.h"
#include "core/db/ClientFiles.h"

#include <SQLiteCpp/Database.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// Kills tardesk-admin update at several moments of a large load: the
// database must then open, pass the integrity check and hold exactly the old
// or exactly the new price list, and the next update must succeed.
class TestUpdateCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedUpdateLeavesOldOrNew();

private:
    int priceRows(const QString& folder);
    bool runUpdate(const QString& folder, int killAfterMs);
};

int TestUpdateCrashSafety::priceRows(const QString& folder)
{
    SQLite::Database db(ClientFiles::databaseFileName(folder).toStdString(), SQLite::OPEN_READWRITE);
    if (db.execAndGet("PRAGMA integrity_check").getString() != "ok")
        return -1;
    return db.execAndGet("SELECT count(*) FROM PRICE").getInt();
}

// True when the update ran to its end before the kill.
bool TestUpdateCrashSafety::runUpdate(const QString& folder, int killAfterMs)
{
    QProcess process;
    process.start(QStringLiteral(TARDESK_ADMIN), {QStringLiteral("update"), folder});
    if (!process.waitForStarted())
        return false;
    if (killAfterMs >= 0 && !process.waitForFinished(killAfterMs)) {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
        return false;
    }
    process.waitForFinished(120000);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void TestUpdateCrashSafety::killedUpdateLeavesOldOrNew()
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    ClientFiles::create(folder);
    const int oldRows = 1000, newRows = 100000;
    SampleGenerator(oldRows, 1).writeDatabase(ClientFiles::databaseFileName(folder));
    SampleGenerator(newRows, 2).writeTextFiles(folder);
    const QString pristine = dir.filePath(QStringLiteral("pristine.mdb"));
    QVERIFY(QFile::copy(ClientFiles::databaseFileName(folder), pristine));

    QElapsedTimer full;
    full.start();
    QVERIFY(runUpdate(folder, -1));
    const int duration = int(full.elapsed());
    QCOMPARE(priceRows(folder), newRows);

    int killed = 0;
    for (int percent : {3, 15, 30, 50, 70, 85, 95, 99}) {
        QFile::remove(ClientFiles::databaseFileName(folder));
        QVERIFY(QFile::copy(pristine, ClientFiles::databaseFileName(folder)));
        if (!runUpdate(folder, duration * percent / 100))
            ++killed;
        const int rows = priceRows(folder);
        QVERIFY2(rows == oldRows || rows == newRows,
                 qPrintable(QStringLiteral("%1 rows after a kill at %2%").arg(rows).arg(percent)));
        // A leftover temporary file never stops the next update.
        QVERIFY(runUpdate(folder, -1));
        QCOMPARE(priceRows(folder), newRows);
    }
    QVERIFY2(killed >= 4, "the update finished before most kills; the load is too small to test");
}

QTEST_GUILESS_MAIN(TestUpdateCrashSafety)
#include "TestUpdateCrashSafety.moc"
