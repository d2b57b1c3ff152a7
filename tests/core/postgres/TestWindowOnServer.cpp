#include "SampleGenerator.h"
#include "core/config/IniFile.h"
#include "core/import/PriceListUpdate.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "gui/shared/ActionManager.h"
#include "support/PostgresServer.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QTimer>

// The window of a counter whose shop is on a server, beside other counters.
class TestWindowOnServer : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void newListOfAnotherCounter();
    void exitDuringUpdateInterruptsIt();

private:
    void updateElsewhere();
    qint64 listVersion();

    PostgresServer m_server;
    QString m_connection;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestWindowOnServer::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestWindowOnServer::init()
{
    answerMessageBoxes();
    m_connection = m_server.createDatabase();
    QVERIFY2(!m_connection.isEmpty(), qPrintable(m_server.error()));
    PgConnection db(m_connection);
    PgSchema::create(db);
    m_folder = std::make_unique<QTemporaryDir>();
    SampleGenerator(1000, 3).writeTextFiles(m_folder->path());
    QFile ini(IniFile::clientFileName(m_folder->path()));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[Server]\nConnection=" + m_connection + "\n").toUtf8());
    ini.close();
    updateElsewhere();
}

void TestWindowOnServer::cleanup()
{
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

void TestWindowOnServer::updateElsewhere()
{
    PgStorage other(m_connection);
    PriceListUpdate(m_folder->path(), other, [](const QString&) {}).run();
}

qint64 TestWindowOnServer::listVersion()
{
    return PgConnection(m_connection).exec(PgSchema::kSelectListVersion).integer(0, 0);
}

void TestWindowOnServer::newListOfAnotherCounter()
{
    PgConnection(m_connection).exec("UPDATE SETTINGS SET PRICE_DATE = '2001-02-03'");
    const std::unique_ptr<TFormMain> window = startWindow(m_folder->path());
    QVERIFY(window);
    SettingsRecord& settings = window->session().settings();
    QCOMPARE(settings.dateValue(Tables::SettingsField::PRICE_DATE), QDate(2001, 2, 3));
    updateElsewhere();
    // The parameters panel shows the new list's date without a search.
    QTRY_COMPARE_WITH_TIMEOUT(settings.dateValue(Tables::SettingsField::PRICE_DATE), QDate::currentDate(),
                              20000);
    QVERIFY2(shownTexts().isEmpty(), qPrintable(shownTexts().join('\n')));
}

void TestWindowOnServer::exitDuringUpdateInterruptsIt()
{
    const std::unique_ptr<TFormMain> window = startWindow(m_folder->path());
    QVERIFY(window);
    const qint64 before = listVersion();
    answerNext(MessageBoxes::Answer::Yes); // load the list
    answerNext(MessageBoxes::Answer::Yes); // interrupt it and exit
    // The clerk closes the window once the update is under way.
    QTimer::singleShot(0, window.get(), [&window] { window->close(); });
    window->actions().actionUpdatePrice->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 20000);
    QCOMPARE(shownTexts().size(), 2);
    QVERIFY2(shownTexts().at(1).contains("Прервать"), qPrintable(shownTexts().at(1)));
    QCOMPARE(listVersion(), before);
}

QTEST_MAIN(TestWindowOnServer)
#include "TestWindowOnServer.moc"
