#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/session/ClientSession.h"
#include "core/errors/Error.h"
#include "support/FileDigest.h"
#include "support/LockHolder.h"

#include <SQLiteCpp/Database.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDatabaseLock : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void compactionRefusedWhileAnotherProcessRuns();
    void conversionRefusedKeepsSharedLock();
    void compactionConvertsOwnLockAndGivesItBack();
    void startingClientWaitsForReplacement();

private:
    QString folder() const { return m_dir->path(); }
    QString database() const { return ClientFiles::databaseFileName(folder()); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDatabaseLock::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ClientFiles::create(folder());
}

void TestDatabaseLock::compactionRefusedWhileAnotherProcessRuns()
{
    const QByteArray before = fileDigest(database());
    QProcess admin;
    {
        ClientSession client(folder());
        client.openIniFile();
        client.openDatabase();
        admin.start(QStringLiteral(TARDESK_ADMIN), {"compact", folder()});
        QVERIFY(admin.waitForFinished());
        QCOMPARE(admin.exitCode(), 1);
        QCOMPARE(admin.readAllStandardOutput(), QByteArray());
        QCOMPARE(QString::fromUtf8(admin.readAllStandardError()).trimmed(), DatabaseLock::refusalMessage());
        QCOMPARE(fileDigest(database()), before);
        QVERIFY(!QFileInfo::exists(DatabaseCompactor::temporaryFileName(folder())));
    }
    // The client has ended: its lock is gone, the lock file stays.
    admin.start(QStringLiteral(TARDESK_ADMIN), {"compact", folder()});
    QVERIFY(admin.waitForFinished());
    QCOMPARE(admin.exitCode(), 0);
    QVERIFY(QFileInfo::exists(DatabaseLock::lockFileName(folder())));
}

void TestDatabaseLock::conversionRefusedKeepsSharedLock()
{
    // Two open lock files conflict like two processes do.
    DatabaseLock mine(folder()), other(folder());
    mine.lockShared();
    other.lockShared();
    QVERIFY_THROWS_EXCEPTION(Error, mine.lockExclusive());
    QCOMPARE(mine.mode(), DatabaseLock::Mode::Shared);
    other.unlock();
    // Still held shared after the refusal, so a third one is refused too.
    DatabaseLock third(folder());
    QVERIFY_THROWS_EXCEPTION(Error, third.lockExclusive());
    mine.lockExclusive();
    QCOMPARE(mine.mode(), DatabaseLock::Mode::Exclusive);
    QVERIFY_THROWS_EXCEPTION(Error, third.lockExclusive());
}

void TestDatabaseLock::compactionConvertsOwnLockAndGivesItBack()
{
    ClientSession client(folder());
    client.openIniFile();
    client.openDatabase();
    client.settings().close();
    client.database().close();
    DatabaseCompactor::CompactClientDatabase(folder(), QString(), client.lock());
    QCOMPARE(client.lock().mode(), DatabaseLock::Mode::Shared);
    client.reopenDatabase();
    QCOMPARE(client.settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);

    DatabaseLock other(folder());
    QVERIFY_THROWS_EXCEPTION(Error, other.lockExclusive());
    QCOMPARE(other.mode(), DatabaseLock::Mode::None);
}

void TestDatabaseLock::startingClientWaitsForReplacement()
{
    // The new list comes in with another exchange rate.
    LockHolder update(folder(), 300, [this] {
        SQLite::Database(database().toStdString(), SQLite::OPEN_READWRITE)
            .exec("UPDATE SETTINGS SET RATE_USD = 44.5");
        return true;
    });
    ClientSession client(folder());
    client.openIniFile();
    int waits = 0;
    client.openDatabase([&] { ++waits; });
    QVERIFY(waits > 0);
    QCOMPARE(client.lock().mode(), DatabaseLock::Mode::Shared);
    QCOMPARE(client.settings().floatValue(Tables::SettingsField::RATE_USD), 44.5);
    QVERIFY(update.succeeded());
}

QTEST_GUILESS_MAIN(TestDatabaseLock)
#include "TestDatabaseLock.moc"
