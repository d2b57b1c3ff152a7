#include "gui/search/PriceGrid.h"
#include "gui/search/PriceListModel.h"
#include "gui/shared/ActionManager.h"
#include "gui/update/TformWait.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"
#include "support/LockHolder.h"
#include "support/Unprivileged.h"
#include "support/WindowTest.h"

#include <SQLiteCpp/Database.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTimer>

class TestStartUp : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void missingIniStopsBeforeDatabase();
    void missingDatabaseLeavesIniUntouched();
    void emptyIniStarts();
    void settingsWithoutColumnStops();
    void exitAndCloseBoxSave_data();
    void exitAndCloseBoxSave();
    void failedSaveKeepsWindowUsable();
    void secondFailedCloseAsks_data();
    void secondFailedCloseAsks();
    void waitsVisiblyForAnotherUpdate();
    void unwritableInstallStartsAndSearches_data();
    void unwritableInstallStartsAndSearches();

private:
    QByteArray iniBytes() const;
    // Puts a folder where Tardesk.ini is, so that saving it fails.
    QString blockIniFile() const;

    std::unique_ptr<ClientFolder> m_folder;
};

void TestStartUp::init()
{
    m_folder = std::make_unique<ClientFolder>();
    answerMessageBoxes();
}

void TestStartUp::cleanup()
{
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

QByteArray TestStartUp::iniBytes() const
{
    QFile file(m_folder->iniFileName());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QString TestStartUp::blockIniFile() const
{
    const QString ini = m_folder->iniFileName();
    QFile::remove(ini);
    QDir().mkdir(ini);
    QDir(ini).mkdir(QStringLiteral("blocker"));
    return ini;
}

void TestStartUp::missingIniStopsBeforeDatabase()
{
    QFile::remove(m_folder->iniFileName());
    QFile::remove(m_folder->databaseFileName());
    TFormMain form(m_folder->path());
    QVERIFY(!form.isInitialized());
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].kind, MessageBoxes::Kind::ApplicationError);
    QCOMPARE(m_shown[0].caption, QStringLiteral("Клиент Velmora"));
    QCOMPARE(m_shown[0].text,
             QStringLiteral("Ошибка открытия файла:\n%1/Tardesk.ini\nПродолжение работы невозможно.")
                 .arg(m_folder->path()));
}

void TestStartUp::missingDatabaseLeavesIniUntouched()
{
    const QByteArray content("; the clerk's own notes\r\n[price]\nsearchnr0 = abc \n");
    m_folder->writeFile(QStringLiteral("Tardesk.ini"), content);
    QFile::remove(m_folder->databaseFileName());
    {
        TFormMain form(m_folder->path());
        QVERIFY(!form.isInitialized());
        form.close();
    }
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(m_shown[0].text.contains(m_folder->path() + QStringLiteral("/Tardesk.mdb\n")));
    QCOMPARE(iniBytes(), content);
}

void TestStartUp::emptyIniStarts()
{
    TFormMain form(m_folder->path());
    QVERIFY(form.isInitialized());
    QVERIFY(m_shown.isEmpty());
    QCOMPARE(form.windowTitle(), QStringLiteral("Клиент Velmora - Tardesk"));
    QCOMPARE(form.session().settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);
    QVERIFY(form.session().ProgramDir().endsWith(QLatin1Char('/')));
}

void TestStartUp::settingsWithoutColumnStops()
{
    m_folder->exec("ALTER TABLE SETTINGS DROP COLUMN CL_ID");
    TFormMain form(m_folder->path());
    QVERIFY(!form.isInitialized());
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].text, QStringLiteral("ADOTableSettings: Field 'Код' not found."));
}

void TestStartUp::exitAndCloseBoxSave_data()
{
    QTest::addColumn<bool>("byExitCommand");
    QTest::newRow("Exit command") << true;
    QTest::newRow("close box") << false;
}

void TestStartUp::exitAndCloseBoxSave()
{
    QFETCH(bool, byExitCommand);
    TFormMain form(m_folder->path());
    form.show();
    form.session().iniFile()->WriteString(QStringLiteral("PRICE"), QStringLiteral("Marker"),
                                          QStringLiteral("1"));
    if (byExitCommand)
        form.actions().actionExitProgramm->trigger();
    else
        form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(iniBytes(),
             QByteArray("[PRICE]\r\nMarker=1\r\nShowVhod=0\r\nShowUS=0\r\nShowEU=0\r\n"
                        "ShowWH0=0\r\nShowWH1=0\r\nShowWH2=0\r\nShowWH3=0\r\nShowWH4=0\r\n"
                        "ShowWH5=0\r\nShowWH6=0\r\nShowWH7=0\r\nShowWH8=0\r\nShowParameters=0\r\n\r\n"));
    QCOMPARE(form.session().isDatabaseOpen(), !byExitCommand);
}

void TestStartUp::failedSaveKeepsWindowUsable()
{
    TFormMain form(m_folder->path());
    form.show();
    const QString ini = blockIniFile();

    form.actions().actionExitProgramm->trigger();
    QVERIFY(form.isVisible());
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(m_shown[0].text.startsWith(QStringLiteral("Cannot create file \"") + ini));
    QVERIFY(form.session().isDatabaseOpen());
    QCOMPARE(form.session().settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);

    // Once the file can be written again, closing works.
    QDir(ini).removeRecursively();
    form.close();
    QVERIFY(!form.isVisible());
}

void TestStartUp::secondFailedCloseAsks_data()
{
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Да closes without saving") << MessageBoxes::Answer::Yes << true;
    QTest::newRow("Нет keeps the window") << MessageBoxes::Answer::No << false;
}

void TestStartUp::secondFailedCloseAsks()
{
    QFETCH(MessageBoxes::Answer, answer);
    QFETCH(bool, closes);
    // Two failed saves, then the question.
    answerNext(MessageBoxes::Answer::Ok);
    answerNext(MessageBoxes::Answer::Ok);
    answerNext(answer);
    TFormMain form(m_folder->path());
    form.show();
    const QString ini = blockIniFile();

    form.close();
    QVERIFY(form.isVisible());
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].kind, MessageBoxes::Kind::ApplicationError);
    form.actions().actionExitProgramm->trigger();
    QCOMPARE(m_shown.size(), 3);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ApplicationError);
    QCOMPARE(m_shown[2].kind, MessageBoxes::Kind::Question);
    QCOMPARE(m_shown[2].caption, QStringLiteral("Клиент Velmora"));
    QCOMPARE(m_shown[2].text, QStringLiteral("Закрыть программу без сохранения настроек?"));
    QCOMPARE(form.isVisible(), !closes);
    QVERIFY(QFileInfo(ini).isDir());
}

void TestStartUp::waitsVisiblyForAnotherUpdate()
{
    LockHolder update(m_folder->path(), 400, [&] {
        m_folder->exec("UPDATE SETTINGS SET RATE_USD=44.5");
        return true;
    });

    QStringList shownWhileWaiting;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TformWait*>(window); form && form->isVisible())
                shownWhileWaiting << form->labelOperation->text();
    });
    probe.start(10);
    TFormMain form(m_folder->path());
    probe.stop();
    QVERIFY(update.succeeded());

    QVERIFY(form.isInitialized());
    QVERIFY(!shownWhileWaiting.isEmpty());
    QCOMPARE(shownWhileWaiting.first(), QStringLiteral("Ожидание обновления базы ..."));
    QVERIFY(!form.findChild<TformWait*>());
    QCOMPARE(form.session().settings().floatValue(Tables::SettingsField::RATE_USD), 44.5);
}

void TestStartUp::unwritableInstallStartsAndSearches_data()
{
    QTest::addColumn<bool>("writableFolder");
    QTest::addColumn<qint64>("fileSizeLimit"); // < 0: none
    QTest::addColumn<QString>("updateRefusal");
    QTest::addColumn<QString>("writeRefusal"); // of the order and Tardesk.ini; empty: not checked
    const QString readOnly = QStringLiteral("Папка программы недоступна для записи: ");
    QTest::newRow("read-only folder") << false << qint64(-1) << readOnly << readOnly;
    QTest::newRow("full disk") << true << qint64(100) << "Tardesk.mdb: disk I/O error" << QString();
}

void TestStartUp::unwritableInstallStartsAndSearches()
{
    QFETCH(bool, writableFolder);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(QString, updateRefusal);
    QFETCH(QString, writeRefusal);
    Unprivileged child(QCoreApplication::applicationFilePath());
    const QString folder = child.folder() + QStringLiteral("/program");
    ShopStorage::create(folder);
    {
        // The shop lives where the other user may enter, outside any ClientFolder.
        SQLite::Database db(ShopStorage::databaseFileName(folder).toStdString(), SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE) "
                "VALUES ('G1', 'A-1', 'A1', 'Деталь', 'X1', 10);"
                "INSERT INTO GROUPS VALUES ('G1', 'Группа', 0)");
    }
    QFile import(folder + QStringLiteral("/import.txt"));
    QVERIFY(import.open(QIODevice::WriteOnly));
    import.write("GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\nG2;B-2;B2;Деталь;X2;20\n");
    import.close();
    const QStringList files = QDir(folder).entryList(QDir::Files);
    if (writableFolder) {
        for (const QString& name : files + QStringList({QString()}))
            Unprivileged::giveToNobody(QDir(folder).filePath(name));
    }
    const QByteArray database = fileDigest(ShopStorage::databaseFileName(folder));
    const QByteArray ini = fileDigest(IniFile::clientFileName(folder));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARDESK_TEST_FOLDER"), folder);
    environment.insert(QStringLiteral("TARDESK_TEST_UPDATE_REFUSAL"), updateRefusal);
    environment.insert(QStringLiteral("TARDESK_TEST_WRITE_REFUSAL"), writeRefusal);
    const Unprivileged::Result run =
        child.run({QStringLiteral("--unwritable-install")}, fileSizeLimit, environment);
    QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
    QCOMPARE(fileDigest(ShopStorage::databaseFileName(folder)), database);
    QCOMPARE(fileDigest(IniFile::clientFileName(folder)), ini);
    QStringList after = QDir(folder).entryList(QDir::Files);
    after.removeAll(QStringLiteral("Tardesk.lck"));
    QCOMPARE(after, files);
}

// What the clerk does where nothing can be written: a program folder that
// only the administrator may write, or a full disk; run as another user by
// unwritableInstallStartsAndSearches.
class UnwritableInstall : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { answerMessageBoxes(); }
    void cleanup() { stopAnsweringMessageBoxes(); }
    void startsSearchesAndRefusesToWrite();
};

void UnwritableInstall::startsSearchesAndRefusesToWrite()
{
    TFormMain form(qEnvironmentVariable("TARDESK_TEST_FOLDER"));
    QVERIFY(form.isInitialized());
    QVERIFY(m_shown.isEmpty());
    form.show();

    form.cbSearchNr->setEditText(QStringLiteral("a1"));
    form.cbSearchNrKeyUp();
    QCOMPARE(form.lbFound->text(), QStringLiteral("Ok"));
    QVERIFY(m_shown.isEmpty());
    const QString writeRefusal = qEnvironmentVariable("TARDESK_TEST_WRITE_REFUSAL");
    const auto said = [this](int box, const QString& text) {
        QVERIFY2(m_shown.size() > box && m_shown[box].text.contains(text),
                 qPrintable(m_shown.value(box).text + QStringLiteral(" ≠ ") + text));
    };

    answerNext(MessageBoxes::Answer::Yes);
    form.actions().actionUpdatePrice->trigger();
    QCOMPARE(m_shown.size(), 2);
    said(1, qEnvironmentVariable("TARDESK_TEST_UPDATE_REFUSAL"));
    // Nothing changed, and the grid shows what it showed.
    QCOMPARE(form.ADODataSetPartsPrice->rowCount(), 1);
    form.cbSearchNrKeyUp();
    QCOMPARE(form.lbFound->text(), QStringLiteral("Ok"));
    if (!writeRefusal.isEmpty()) {
        form.DBGridPartsPrice->setFocus();
        form.actions().actionAddToOrder->trigger();
        said(2, QStringLiteral("Позиция не добавлена в заказ. ") + writeRefusal);
        m_shown.removeLast();
    }

    form.close();
    QVERIFY(form.isVisible());
    QCOMPARE(m_shown.size(), 3);
    said(2, QStringLiteral("Tardesk.ini"));
    if (!writeRefusal.isEmpty())
        said(2, writeRefusal);
    // The failed save again, then the question: closed without saving.
    answerNext(MessageBoxes::Answer::Ok);
    answerNext(MessageBoxes::Answer::Yes);
    form.close();
    QCOMPARE(m_shown.size(), 5);
    QCOMPARE(m_shown[4].kind, MessageBoxes::Kind::Question);
    QVERIFY(!form.isVisible());
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--unwritable-install") == 0) {
        UnwritableInstall child;
        return QTest::qExec(&child, QStringList{QString::fromLocal8Bit(argv[0])});
    }
    TestStartUp test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestStartUp.moc"
