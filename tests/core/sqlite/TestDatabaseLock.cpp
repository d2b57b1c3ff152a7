#include "core/errors/Error.h"
#include "core/session/ClientSession.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"
#include "support/LockHolder.h"

#include <QFile>
#include <QProcess>
#include <QTest>

class TestDatabaseLock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void compactionRefusedWhileAnotherProcessRuns();
    void conversionRefusedKeepsSharedLock();
    void compactionConvertsOwnLockAndGivesItBack();
    void startingClientWaitsForReplacement();

private:
    QString folder() const { return m_folder->path(); }
    QString database() const { return m_folder->databaseFileName(); }

    std::unique_ptr<ClientFolder> m_folder;
};

void TestDatabaseLock::init()
{
    m_folder = std::make_unique<ClientFolder>();
}

void TestDatabaseLock::cleanup()
{
    m_folder.reset();
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
    // A running client's lock, its connection closed.
    DatabaseLock client(folder());
    QVERIFY(client.lockShared());
    DatabaseCompactor::CompactClientDatabase(folder(), QString(), client);
    QCOMPARE(client.mode(), DatabaseLock::Mode::Shared);
    QCOMPARE(m_folder->settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);

    DatabaseLock other(folder());
    QVERIFY_THROWS_EXCEPTION(Error, other.lockExclusive());
    QCOMPARE(other.mode(), DatabaseLock::Mode::None);
}

void TestDatabaseLock::startingClientWaitsForReplacement()
{
    // The new list comes in with another exchange rate.
    LockHolder update(folder(), 300, [this] {
        m_folder->exec("UPDATE SETTINGS SET RATE_USD = 44.5");
        return true;
    });
    ClientSession client(folder());
    client.openIniFile();
    int waits = 0;
    client.openDatabase([&] { ++waits; });
    QVERIFY(waits > 0);
    QVERIFY(client.isDatabaseOpen());
    QCOMPARE(client.settings().floatValue(Tables::SettingsField::RATE_USD), 44.5);
    QVERIFY(update.succeeded());
    // The client holds the folder from here on.
    DatabaseLock other(folder());
    QVERIFY_THROWS_EXCEPTION(Error, other.lockExclusive());
}

QTEST_GUILESS_MAIN(TestDatabaseLock)
#include "TestDatabaseLock.moc"
