#include "SampleGenerator.h"
#include "core/config/IniFile.h"
#include "core/session/ShopStorage.h"
#include "support/FileDigest.h"
#include "support/Unprivileged.h"

#include <SQLiteCpp/Database.h>

#include <QDir>
#include <QFile>
#include <QTest>

// tardesk-admin in a program folder its user may not write, on a file it
// may not write, and on a full disk: the update and the compaction refuse
// with a clear message and leave Tardesk.mdb and Tardesk.ini as they were;
// searching needs no write and works.
class TestUnwritableInstall : public QObject
{
    Q_OBJECT

public:
    enum class Situation
    {
        ReadOnlyFolder,   // root's folder and files, as installed by an administrator
        ReadOnlyDatabase, // the user's folder, a write-protected Tardesk.mdb
        FullDisk          // the user's folder; no file may grow past the database
    };
    Q_ENUM(Situation)

private slots:
    void refusedAndUnchanged_data();
    void refusedAndUnchanged();
};

void TestUnwritableInstall::refusedAndUnchanged_data()
{
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<int>("oldParts"); // none: the database as made by "init"
    // FOLDER stands for the program folder, NUMBER for a part number it holds.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    const QStringList update{"update", "FOLDER"}, compact{"compact", "FOLDER"};
    const QString folder = QStringLiteral("Папка программы недоступна для записи: ");
    const QString file = QStringLiteral("Файл недоступен для записи: ");
    QTest::newRow("update, read-only folder") << Situation::ReadOnlyFolder << 300 << update << 1 << folder;
    QTest::newRow("compaction, read-only folder")
        << Situation::ReadOnlyFolder << 300 << compact << 1 << folder;
    QTest::newRow("search, read-only folder")
        << Situation::ReadOnlyFolder << 300 << QStringList({"search", "FOLDER", "NUMBER"}) << 0 << "Ok\n";
    // A list made before names were indexed: find would index it first.
    QTest::newRow("find, read-only folder")
        << Situation::ReadOnlyFolder << 300 << QStringList({"find", "FOLDER", "фильтр"}) << 1 << folder;
    QTest::newRow("update, read-only database") << Situation::ReadOnlyDatabase << 300 << update << 1 << file;
    QTest::newRow("compaction, read-only database")
        << Situation::ReadOnlyDatabase << 300 << compact << 1 << file;
    // The new list does not fit beside the old one; the compact copy does,
    // but the journal that keeps the old content while it is copied in does not.
    QTest::newRow("update, full disk for the new list")
        << Situation::FullDisk << 0 << update << 1 << "Tardesk.mdb: disk I/O error";
    QTest::newRow("compaction, full disk for the journal")
        << Situation::FullDisk << 3000 << compact << 1 << "Tardesk.mdb: disk I/O error";
}

void TestUnwritableInstall::refusedAndUnchanged()
{
    QFETCH(Situation, situation);
    QFETCH(int, oldParts);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);

    Unprivileged child(QStringLiteral(TARDESK_ADMIN));
    const QString folder = child.folder() + QStringLiteral("/program");
    ShopStorage::create(folder);
    const QString database = ShopStorage::databaseFileName(folder);
    if (oldParts > 0)
        SampleGenerator(oldParts, 1).writeDatabase(database);
    SampleGenerator(2000, 2).writeTextFiles(folder);
    if (situation != Situation::ReadOnlyFolder) {
        for (const QString& name : QDir(folder).entryList(QDir::Files) + QStringList({QString()}))
            Unprivileged::giveToNobody(QDir(folder).filePath(name));
    }
    if (situation == Situation::ReadOnlyDatabase)
        QVERIFY(QFile::setPermissions(database, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const qint64 limit = situation == Situation::FullDisk ? QFileInfo(database).size() : -1;
    const QByteArray databaseBefore = fileDigest(database);
    const QByteArray iniBefore = fileDigest(IniFile::clientFileName(folder));
    const QStringList filesBefore = QDir(folder).entryList(QDir::Files);

    if (oldParts > 0) {
        SQLite::Database db(database.toStdString());
        arguments.replaceInStrings(QStringLiteral("NUMBER"), QString::fromStdString(db.execAndGet(
                                                                 "SELECT min(SHORTPARTNUMBER) FROM PRICE")));
    }
    arguments.replaceInStrings(QStringLiteral("FOLDER"), folder);
    const Unprivileged::Result run = child.run(arguments, limit);
    const QString printed = run.out + run.err;
    QVERIFY2(run.status == status && printed.contains(message), qPrintable(printed));
    QCOMPARE(fileDigest(database), databaseBefore);
    QCOMPARE(fileDigest(IniFile::clientFileName(folder)), iniBefore);
    // Nothing left behind but the lock file, where the user could make it.
    QStringList filesAfter = QDir(folder).entryList(QDir::Files);
    filesAfter.removeAll(QStringLiteral("Tardesk.lck"));
    QCOMPARE(filesAfter, filesBefore);
}

QTEST_GUILESS_MAIN(TestUnwritableInstall)
#include "TestUnwritableInstall.moc"
