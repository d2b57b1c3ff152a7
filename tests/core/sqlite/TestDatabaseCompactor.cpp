#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Schema, every row of every table, and the header values a copy must keep.
QByteArray contentDigest(const QString& path)
{
    SQLite::Database db(path.toStdString());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList tables;
    SQLite::Statement schema(db, "SELECT type, name, sql FROM sqlite_master ORDER BY name");
    while (schema.executeStep()) {
        for (int i = 0; i < 3; ++i)
            hash.addData(QByteArray(QByteArray(schema.getColumn(i).getText()) + '\x1f'));
        if (QByteArray(schema.getColumn(0).getText()) == "table")
            tables << QString::fromUtf8(schema.getColumn(1).getText());
    }
    for (const QString& table : tables) {
        SQLite::Statement rows(db, "SELECT * FROM \"" + table.toStdString() + "\" ORDER BY rowid");
        while (rows.executeStep()) {
            for (int i = 0; i < rows.getColumnCount(); ++i)
                hash.addData(QByteArray(QByteArray(rows.getColumn(i).getText()) + '\x1f'));
            hash.addData("\n");
        }
    }
    hash.addData(QByteArray::number(db.execAndGet("PRAGMA user_version").getInt()));
    hash.addData(QByteArray::number(db.execAndGet("PRAGMA application_id").getInt()));
    return hash.result();
}

} // namespace

class TestDatabaseCompactor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keepsTablesAndRows();
    void deletesLeftoverTemporaryFiles_data();
    void deletesLeftoverTemporaryFiles();
    void failureLeavesDatabaseUntouched_data();
    void failureLeavesDatabaseUntouched();
    void adminCompact_data();
    void adminCompact();

private:
    QString folder() const { return m_folder->path(); }
    QString database() const { return m_folder->databaseFileName(); }
    QString temporary() const { return DatabaseCompactor::temporaryFileName(folder()); }

    std::unique_ptr<ClientFolder> m_folder;
};

void TestDatabaseCompactor::init()
{
    m_folder = std::make_unique<ClientFolder>();
    SampleGenerator(3000, 5).writeDatabase(database());
}

void TestDatabaseCompactor::cleanup()
{
    m_folder.reset();
}

void TestDatabaseCompactor::keepsTablesAndRows()
{
    m_folder->exec("DELETE FROM PRICE WHERE rowid % 3 <> 0;"
                   "CREATE TABLE NOTES (ID INTEGER PRIMARY KEY, TEXT TEXT(40));"
                   "INSERT INTO NOTES (TEXT) VALUES ('звонить поставщику'), (NULL);"
                   "CREATE VIEW CHEAP AS SELECT * FROM PRICE WHERE PRICE < 10;"
                   "PRAGMA user_version = 12;"
                   "PRAGMA application_id = 4711");
    const QByteArray before = contentDigest(database());
    const qint64 sizeBefore = QFileInfo(database()).size();
    QFile::setPermissions(database(), QFile::ReadOwner | QFile::WriteOwner);

    DatabaseLock lock(folder());
    DatabaseCompactor::CompactClientDatabase(folder(), QString(), lock);

    QCOMPARE(contentDigest(database()), before);
    QVERIFY2(QFileInfo(database()).size() < sizeBefore * 2 / 3,
             qPrintable(QString::number(QFileInfo(database()).size())));
    // Owner, group and others; the "user" bits depend on who runs the test.
    QCOMPARE(QFile::permissions(database()) & QFileDevice::Permissions(0x7077),
             QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(m_folder->queryText("PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(QDir(folder()).entryList(QDir::Files),
             QStringList({"Tardesk.ini", "Tardesk.lck", "Tardesk.mdb"}));
    QCOMPARE(lock.mode(), DatabaseLock::Mode::None);
}

void TestDatabaseCompactor::deletesLeftoverTemporaryFiles_data()
{
    QTest::addColumn<QStringList>("leftovers");
    QTest::newRow("temporary file only") << QStringList({""});
    QTest::newRow("temporary file with its journal") << QStringList({"", "-journal"});
    QTest::newRow("temporary file in WAL mode") << QStringList({"", "-wal", "-shm"});
    QTest::newRow("journal without its file") << QStringList({"-journal"});
}

void TestDatabaseCompactor::deletesLeftoverTemporaryFiles()
{
    QFETCH(QStringList, leftovers);
    // A half-written copy from a killed run: not even a valid database.
    for (const QString& suffix : leftovers)
        m_folder->writeFile(temporary() + suffix, QByteArray(5000, 'x'));
    const QByteArray before = contentDigest(database());

    DatabaseLock lock(folder());
    DatabaseCompactor::CompactClientDatabase(folder(), QString(), lock);

    QCOMPARE(contentDigest(database()), before);
    QCOMPARE(QDir(folder()).entryList({"~temp*"}, QDir::Files | QDir::Hidden), QStringList());
}

void TestDatabaseCompactor::failureLeavesDatabaseUntouched_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("replacement"); // written over Tardesk.mdb when not empty
    QTest::addColumn<bool>("temporaryIsFolder");
    QTest::addColumn<QString>("message");
    QTest::newRow("password") << "secret" << QByteArray() << false << "с паролем";
    QTest::newRow("not a database") << "" << QByteArray(8192, 'z') << false << "not a database";
    QTest::newRow("temporary name taken by a folder") << "" << QByteArray() << true << "~temp.mdb";
}

void TestDatabaseCompactor::failureLeavesDatabaseUntouched()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, replacement);
    QFETCH(bool, temporaryIsFolder);
    QFETCH(QString, message);
    if (!replacement.isEmpty())
        m_folder->writeFile(database(), replacement);
    if (temporaryIsFolder) {
        QVERIFY(QDir().mkpath(temporary()));
        m_folder->writeFile(temporary() + "/keep", "x");
    }
    const QByteArray before = fileContent(database());

    DatabaseLock lock(folder());
    try {
        DatabaseCompactor::CompactClientDatabase(folder(), password, lock);
        QFAIL("compaction succeeded");
    } catch (const std::exception& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains(message), error.what());
    }
    QCOMPARE(fileContent(database()), before);
    QCOMPARE(QFileInfo(temporary()).isDir(), temporaryIsFolder);
    QVERIFY(!QFileInfo::exists(temporary() + "-journal"));
    QCOMPARE(lock.mode(), DatabaseLock::Mode::None);
}

void TestDatabaseCompactor::adminCompact_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("compacts") << QStringList({"compact", "DIR"}) << 0 << "";
    QTest::newRow("no folder") << QStringList({"compact"}) << 2 << "Использование: tardesk-admin";
    QTest::newRow("folder without database")
        << QStringList({"compact", "DIR/empty"}) << 1 << "Файл базы данных";
}

void TestDatabaseCompactor::adminCompact()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, error);
    QDir(folder()).mkdir("empty");
    arguments.replaceInStrings("DIR", folder());
    const QByteArray before = contentDigest(database());
    const AdminRun run = AdminRun::of(arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, QString());
    QVERIFY2(error.isEmpty() ? run.err.isEmpty() : run.err.contains(error), qPrintable(run.err));
    QCOMPARE(contentDigest(database()), before);
}

QTEST_GUILESS_MAIN(TestDatabaseCompactor)
#include "TestDatabaseCompactor.moc"
