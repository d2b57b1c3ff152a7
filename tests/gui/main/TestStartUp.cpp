#include "core/db/ClientFiles.h"
#include "gui/main/TFormMain.h"
#include "gui/shared/ActionManager.h"
#include "gui/shared/MessageBoxes.h"

#include <SQLiteCpp/Database.h>

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestStartUp : public QObject
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

private:
    QByteArray iniBytes() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<MessageBoxes::Shown> m_shown;
};

void TestStartUp::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ClientFiles::create(m_dir->path());
    m_shown.clear();
    MessageBoxes::setHandler([this](const MessageBoxes::Shown& shown) {
        m_shown << shown;
        return MessageBoxes::Answer::Ok;
    });
}

void TestStartUp::cleanup()
{
    MessageBoxes::setHandler({});
}

QByteArray TestStartUp::iniBytes() const
{
    QFile file(ClientFiles::iniFileName(m_dir->path()));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void TestStartUp::missingIniStopsBeforeDatabase()
{
    QFile::remove(ClientFiles::iniFileName(m_dir->path()));
    QFile::remove(ClientFiles::databaseFileName(m_dir->path()));
    TFormMain form(m_dir->path());
    QVERIFY(!form.isInitialized());
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].kind, MessageBoxes::Kind::ApplicationError);
    QCOMPARE(m_shown[0].caption, QStringLiteral("Клиент Velmora"));
    QCOMPARE(m_shown[0].text,
             QStringLiteral("Ошибка открытия файла:\n%1/Tardesk.ini\nПродолжение работы невозможно.")
                 .arg(m_dir->path()));
}

void TestStartUp::missingDatabaseLeavesIniUntouched()
{
    const QByteArray content("; the clerk's own notes\r\n[price]\nsearchnr0 = abc \n");
    QFile ini(ClientFiles::iniFileName(m_dir->path()));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(content);
    ini.close();
    QFile::remove(ClientFiles::databaseFileName(m_dir->path()));
    {
        TFormMain form(m_dir->path());
        QVERIFY(!form.isInitialized());
        form.close();
    }
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(m_shown[0].text.contains(m_dir->path() + QStringLiteral("/Tardesk.mdb\n")));
    QCOMPARE(iniBytes(), content);
}

void TestStartUp::emptyIniStarts()
{
    TFormMain form(m_dir->path());
    QVERIFY(form.isInitialized());
    QVERIFY(m_shown.isEmpty());
    QCOMPARE(form.windowTitle(), QStringLiteral("Клиент Velmora - Tardesk"));
    QCOMPARE(form.session().settings().floatValue(Schema::SettingsField::RATE_USD), 41.25);
    QVERIFY(form.session().ProgramDir().endsWith(QLatin1Char('/')));
}

void TestStartUp::settingsWithoutColumnStops()
{
    {
        SQLite::Database db(ClientFiles::databaseFileName(m_dir->path()).toStdString(),
                            SQLite::OPEN_READWRITE);
        db.exec("ALTER TABLE SETTINGS DROP COLUMN CL_ID");
    }
    TFormMain form(m_dir->path());
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
    TFormMain form(m_dir->path());
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
    QCOMPARE(form.session().database().isOpen(), !byExitCommand);
}

void TestStartUp::failedSaveKeepsWindowUsable()
{
    TFormMain form(m_dir->path());
    form.show();
    const QString ini = ClientFiles::iniFileName(m_dir->path());
    QFile::remove(ini);
    QDir().mkdir(ini);
    QDir(ini).mkdir(QStringLiteral("blocker"));

    form.actions().actionExitProgramm->trigger();
    QVERIFY(form.isVisible());
    QCOMPARE(m_shown.size(), 1);
    QVERIFY(m_shown[0].text.startsWith(QStringLiteral("Cannot create file \"") + ini));
    QVERIFY(form.session().database().isOpen());
    QCOMPARE(form.session().settings().floatValue(Schema::SettingsField::RATE_USD), 41.25);

    // Once the file can be written again, closing works.
    QDir(ini).removeRecursively();
    form.close();
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestStartUp)
#include "TestStartUp.moc"
