#include "SampleGenerator.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// What happens to Tardesk.mdb when "tardesk-admin update" or "compact"
// replaces its content while other programs use it, when it is a link or
// has its own mode and owner, and when a killed writer left its journal.
class TestDatabaseReplacement : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void otherProgramKeepsWorking_data();
    void otherProgramKeepsWorking();
    void fileStaysWhereAndWhatItIs_data();
    void fileStaysWhereAndWhatItIs();
    void journalOfKilledWriterRolledBack_data();
    void journalOfKilledWriterRolledBack();

private:
    QString folder() const { return m_folder->path(); }
    QString database() const { return m_folder->databaseFileName(); }
    AdminRun admin(const QStringList& arguments) const;
    int count(const char* table) const;

    std::unique_ptr<ClientFolder> m_folder;
};

namespace {
const int kOldParts = 500;
const int kNewParts = 300;
} // namespace

void TestDatabaseReplacement::init()
{
    m_folder = std::make_unique<ClientFolder>();
    SampleGenerator(kOldParts, 1).writeDatabase(database());
    SampleGenerator(kNewParts, 2).writeTextFiles(folder());
}

void TestDatabaseReplacement::cleanup()
{
    m_folder.reset();
}

// A separate process, as the clerk's tool is beside another program.
AdminRun TestDatabaseReplacement::admin(const QStringList& arguments) const
{
    QProcess process;
    process.start(QStringLiteral(TARDESK_ADMIN), arguments);
    if (!process.waitForFinished(60000))
        return {-1, QString(), QString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

int TestDatabaseReplacement::count(const char* table) const
{
    if (m_folder->queryText("PRAGMA integrity_check") != QLatin1String("ok"))
        return -1;
    return m_folder->queryText(std::string("SELECT count(*) FROM ") + table).toInt();
}

void TestDatabaseReplacement::otherProgramKeepsWorking_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("journalMode"); // the other program's
    QTest::addColumn<QString>("holds");       // what it has open meanwhile
    QTest::addColumn<QString>("refusal");     // empty: the command works

    QTest::newRow("update beside a WAL writer") << "update"
                                                << "wal"
                                                << ""
                                                << "";
    QTest::newRow("compaction beside a WAL writer") << "compact"
                                                    << "wal"
                                                    << ""
                                                    << "";
    QTest::newRow("update beside a rollback-journal writer") << "update"
                                                             << "delete"
                                                             << ""
                                                             << "";
    // It goes on reading the old list until its transaction ends.
    QTest::newRow("update while a WAL reader reads") << "update"
                                                     << "wal"
                                                     << "read"
                                                     << "";
    QTest::newRow("update while a rollback-journal reader reads") << "update"
                                                                  << "delete"
                                                                  << "read"
                                                                  << "его читает другая программа";
    QTest::newRow("compaction while a WAL writer writes") << "compact"
                                                          << "wal"
                                                          << "write"
                                                          << "в него пишет другая программа";
}

void TestDatabaseReplacement::otherProgramKeepsWorking()
{
    QFETCH(QString, command);
    QFETCH(QString, journalMode);
    QFETCH(QString, holds);
    QFETCH(QString, refusal);
    const bool works = refusal.isEmpty();
    const int priceAfter = works && command == QLatin1String("update") ? kNewParts : kOldParts;
    QStringList notes{QStringLiteral("до")};
    {
        SQLite::Database other(database().toStdString(), SQLite::OPEN_READWRITE, 60000);
        other.exec("PRAGMA journal_mode=" + journalMode.toStdString());
        other.exec("CREATE TABLE NOTES (TEXT)");
        other.exec("INSERT INTO NOTES VALUES ('до')");
        if (holds == QLatin1String("read")) {
            other.exec("BEGIN");
            QCOMPARE(other.execAndGet("SELECT count(*) FROM PRICE").getInt(), kOldParts);
        } else if (holds == QLatin1String("write")) {
            other.exec("BEGIN IMMEDIATE");
            other.exec("INSERT INTO NOTES VALUES ('во время')");
            notes << QStringLiteral("во время");
        }

        const AdminRun run = admin({command, folder()});
        QCOMPARE(run.status, works ? 0 : 1);
        QVERIFY2(works || run.err.contains(refusal), qPrintable(run.err));

        if (holds == QLatin1String("read"))
            QCOMPARE(other.execAndGet("SELECT count(*) FROM PRICE").getInt(), kOldParts);
        if (!holds.isEmpty())
            other.exec("COMMIT");
        // Still open on the same file: what it sees and writes now counts.
        QCOMPARE(other.execAndGet("SELECT count(*) FROM PRICE").getInt(), priceAfter);
        other.exec("INSERT INTO NOTES VALUES ('после')");
        notes << QStringLiteral("после");
    }
    QCOMPARE(count("PRICE"), priceAfter);
    QCOMPARE(m_folder->queryRows("SELECT TEXT FROM NOTES ORDER BY rowid"), notes);
}

void TestDatabaseReplacement::fileStaysWhereAndWhatItIs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("priceAfter");
    QTest::newRow("update") << "update" << kNewParts;
    QTest::newRow("compaction") << "compact" << kOldParts;
}

void TestDatabaseReplacement::fileStaysWhereAndWhatItIs()
{
    QFETCH(QString, command);
    QFETCH(int, priceAfter);
    // The clerk keeps the data elsewhere, under its own mode and owner.
    QVERIFY(QDir(folder()).mkdir(QStringLiteral("data")));
    const QString target = folder() + QStringLiteral("/data/prices.db");
    QVERIFY(QFile::rename(database(), target));
    QVERIFY(QFile::link(QStringLiteral("data/prices.db"), database()));
    const QByteArray path = QFile::encodeName(target);
    QCOMPARE(::chmod(path.constData(), 0640), 0);
    QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
    struct stat before;
    QCOMPARE(::stat(path.constData(), &before), 0);

    const AdminRun run = admin({command, folder()});
    QVERIFY2(run.status == 0, qPrintable(run.err));

    QCOMPARE(QFileInfo(database()).symLinkTarget(), target);
    struct stat after;
    QCOMPARE(::stat(path.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(count("PRICE"), priceAfter);
    QCOMPARE(QDir(folder() + QStringLiteral("/data")).entryList(QDir::Files), QStringList({"prices.db"}));
}

void TestDatabaseReplacement::journalOfKilledWriterRolledBack_data()
{
    QTest::addColumn<QStringList>("arguments"); // FOLDER stands for the program folder
    QTest::addColumn<int>("priceAfter");
    QTest::newRow("search") << QStringList({"search", "FOLDER", "0"}) << kOldParts;
    QTest::newRow("update") << QStringList({"update", "FOLDER"}) << kNewParts;
    QTest::newRow("compaction") << QStringList({"compact", "FOLDER"}) << kOldParts;
}

void TestDatabaseReplacement::journalOfKilledWriterRolledBack()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, priceAfter);
    const QByteArray before = fileDigest(database());
    const QByteArray path = QFile::encodeName(database());
    // A writer killed in the middle of a transaction larger than its cache:
    // part of it is in the file already, the journal holds the old pages.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.constData(), &db);
        sqlite3_exec(db,
                     "PRAGMA cache_size=10; BEGIN; UPDATE PRICE SET PARTNAME='испорчено' || zeroblob(1000);",
                     nullptr, nullptr, nullptr);
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(QFileInfo(database() + QStringLiteral("-journal")).size() > 0);
    QVERIFY(fileDigest(database()) != before);

    const AdminRun run = admin(arguments.replaceInStrings(QStringLiteral("FOLDER"), folder()));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(count("PRICE"), priceAfter);
    QCOMPARE(m_folder->queryText("SELECT count(*) FROM PRICE WHERE PARTNAME LIKE 'испорчено%'"),
             QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestDatabaseReplacement)
#include "TestDatabaseReplacement.moc"
