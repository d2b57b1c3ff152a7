#include "core/errors/Error.h"
#include "core/session/ClientSession.h"
#include "core/session/ProgramFolder.h"
#include "core/session/ShopStorage.h"
#include "support/FileDigest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <exception>

// Which folder the client starts on, and what the start-up then says.
class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void startsOn_data();
    void startsOn();
};

namespace {

enum Files
{
    None = 0,
    Ini = 1,
    Mdb = 2,
    Both = Ini | Mdb
};

} // namespace

void TestProgramFolder::startsOn_data()
{
    // Where the program file is: "installed" is /usr/bin, "copy" a folder of its own.
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("chooseFolder");
    // The folder expected: "data", "copy" or "chosen"; the files put there first.
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("files");
    // The start-up error: "" for none, "ini" or "database" for the message that
    // names that missing file, "data" for a data folder that cannot be made.
    QTest::addColumn<QString>("error");

    QTest::newRow("installed, first start") << "installed" << false << "data" << int(None) << "";
    QTest::newRow("installed, both files kept") << "installed" << false << "data" << int(Both) << "";
    QTest::newRow("installed, ini only") << "installed" << false << "data" << int(Ini) << "database";
    QTest::newRow("installed, database only") << "installed" << false << "data" << int(Mdb) << "ini";
    QTest::newRow("installed, data folder unwritable")
        << "installed" << false << "data" << int(None) << "data";
    QTest::newRow("copy with both files") << "copy" << false << "copy" << int(Both) << "";
    QTest::newRow("copy without files") << "copy" << false << "copy" << int(None) << "ini";
    QTest::newRow("copy, database only") << "copy" << false << "copy" << int(Mdb) << "ini";
    QTest::newRow("installed, chosen folder") << "installed" << true << "chosen" << int(Both) << "";
    QTest::newRow("installed, empty chosen folder") << "installed" << true << "chosen" << int(None) << "ini";
    QTest::newRow("copy, chosen folder with ini only")
        << "copy" << true << "chosen" << int(Ini) << "database";
}

void TestProgramFolder::startsOn()
{
    QFETCH(QString, program);
    QFETCH(bool, chooseFolder);
    QFETCH(QString, expected);
    QFETCH(int, files);
    QFETCH(QString, error);

    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath("copy"));
    QVERIFY(QDir(home.path()).mkpath("chosen"));
    QFile blocker(home.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    // A file where the data folder's parent should be: not even root can make it.
    const QString dataHome = home.filePath(error == "data" ? "blocker/share" : "share");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    QCOMPARE(ProgramFolder::dataFolder(), dataHome + "/Tardesk");

    const QString folder = expected == "data" ? ProgramFolder::dataFolder() : home.filePath(expected);
    const QByteArray iniContent("[PRICE]\r\nSearchNr0=OC90\r\n");
    // A new shop comes with both files: the ini file goes again when the case has none.
    if (files & Mdb)
        ShopStorage::create(folder);
    if (files & Ini) {
        QVERIFY(QDir().mkpath(folder));
        QFile ini(IniFile::clientFileName(folder));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(iniContent);
    } else if (files & Mdb) {
        QVERIFY(QFile::remove(IniFile::clientFileName(folder)));
    }

    const QString applicationDir = program == "installed" ? "/usr/bin" : home.filePath("copy");
    QString message;
    try {
        const QString chosen =
            ProgramFolder::choose(applicationDir, chooseFolder ? home.filePath("chosen") : "");
        QCOMPARE(chosen, folder);
        ClientSession session(chosen);
        session.openIniFile();
        session.openDatabase();
    } catch (const std::exception& caught) {
        message = Error::messageOf(caught);
    }

    if (error.isEmpty()) {
        QCOMPARE(message, QString());
    } else if (error == "data") {
        QVERIFY2(message.startsWith("Не удалось создать Tardesk.mdb и Tardesk.ini в папке данных:\n" +
                                    folder + "\n"),
                 qPrintable(message));
    } else {
        const QString path =
            error == "ini" ? IniFile::clientFileName(folder) : ShopStorage::databaseFileName(folder);
        QCOMPARE(message, ClientSession::missingFileMessage(path));
    }
    // A file already there is never replaced, and only a first start in the data folder adds any.
    const bool firstStart = expected == "data" && files == None && error.isEmpty();
    QCOMPARE(QFileInfo::exists(IniFile::clientFileName(folder)), firstStart || (files & Ini));
    QCOMPARE(QFileInfo::exists(ShopStorage::databaseFileName(folder)), firstStart || (files & Mdb));
    if (files & Ini)
        QCOMPARE(fileContent(IniFile::clientFileName(folder)), iniContent);
    if (expected != "data")
        QVERIFY(!QFileInfo::exists(ProgramFolder::dataFolder()));
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "TestProgramFolder.moc"
