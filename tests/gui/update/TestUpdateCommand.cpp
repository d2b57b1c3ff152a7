#include "core/text/RegionalFormats.h"
#include "gui/search/CrossList.h"
#include "gui/search/ParametersPanel.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

class TestUpdateCommand : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void notAnsweredYesChangesNothing_data();
    void notAnsweredYesChangesNothing();
    void bothFilesShowTheNewDate();
    void windowIsLockedWhileUpdating();
    void failureShowsMessageAndKeepsWorking();
    void failureAfterReplacementSaysUpdated();
    void pendingSettingsEditKeepsTheNewDate();

private:
    // The Update command, its question answered so.
    void update(MessageBoxes::Answer answer = MessageBoxes::Answer::Yes);
    QByteArray databaseDigest() const { return fileDigest(m_folder->databaseFileName()); }
    QString shownDate() const;

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

void TestUpdateCommand::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->writeFile(
        QStringLiteral("import.txt"),
        "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\nG1;A-1;A1;Деталь;X1;10\n");
    m_folder->writeFile(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nG1;Фильтры;10\n");
    answerMessageBoxes();
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

void TestUpdateCommand::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

void TestUpdateCommand::update(MessageBoxes::Answer answer)
{
    answerNext(answer);
    m_form->actions().actionUpdatePrice->trigger();
}

QString TestUpdateCommand::shownDate() const
{
    return m_form->GroupBoxParameters->findChild<QLabel*>(QStringLiteral("PRICE_DATE"))->text();
}

void TestUpdateCommand::notAnsweredYesChangesNothing_data()
{
    QTest::addColumn<MessageBoxes::Answer>("answer");
    QTest::newRow("No") << MessageBoxes::Answer::No;
    QTest::newRow("Cancel or closed") << MessageBoxes::Answer::Cancel;
}

void TestUpdateCommand::notAnsweredYesChangesNothing()
{
    QFETCH(MessageBoxes::Answer, answer);
    const QByteArray before = databaseDigest();
    bool progressShown = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this,
            [&] { progressShown |= m_form->findChild<QWidget*>(QStringLiteral("formWait")) != nullptr; });
    probe.start(0);
    update(answer);
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].caption, QStringLiteral("Confirm"));
    QCOMPARE(m_shown[0].text, QStringLiteral("Вы хотите загрузить прайс-лист и скидки?"));
    QVERIFY(!progressShown);
    QCOMPARE(databaseDigest(), before);
}

void TestUpdateCommand::bothFilesShowTheNewDate()
{
    QCOMPARE(shownDate(), QString());
    update();
    // The report of a first update, once the progress window is gone.
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::Information);
    QCOMPARE(m_shown[1].text, QStringLiteral("Новых позиций: 1"));
    QCOMPARE(shownDate(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    QVERIFY(!m_form->findChild<QWidget*>(QStringLiteral("formWait")));
    QVERIFY(m_form->session().isDatabaseOpen());
    QVERIFY(m_form->actions().actionUpdatePrice->isEnabled());
    QCOMPARE(m_folder->queryText("SELECT PARTNUMBER FROM PRICE"), QStringLiteral("A-1"));
}

void TestUpdateCommand::windowIsLockedWhileUpdating()
{
    bool seen = false, enabled = true, stillVisible = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        if (seen || !m_form->findChild<QWidget*>(QStringLiteral("formWait")))
            return;
        seen = true;
        ActionManager& actions = m_form->actions();
        enabled = actions.actionUpdatePrice->isEnabled() || actions.ActionSetup->isEnabled() ||
                  actions.actionExitProgramm->isEnabled() || m_form->listboxSearch->isEnabled();
        m_form->close();
        stillVisible = m_form->isVisible();
    });
    probe.start(0);
    update();
    QVERIFY(seen);
    QVERIFY(!enabled);
    QVERIFY(stillVisible);
    QVERIFY(m_form->isVisible());
    QVERIFY(m_form->actions().ActionSetup->isEnabled());
    QVERIFY(m_form->listboxSearch->isEnabled());
}

void TestUpdateCommand::failureShowsMessageAndKeepsWorking()
{
    QFile::remove(m_folder->filePath(QStringLiteral("import.txt")));
    const QByteArray before = databaseDigest();
    update();
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ApplicationError);
    QVERIFY2(m_shown[1].text.contains(QStringLiteral("import.txt")), qPrintable(m_shown[1].text));
    QVERIFY(!m_form->findChild<QWidget*>(QStringLiteral("formWait")));
    QCOMPARE(databaseDigest(), before);
    QVERIFY(m_form->session().isDatabaseOpen());
    QCOMPARE(m_form->session().settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);
}

void TestUpdateCommand::failureAfterReplacementSaysUpdated()
{
    // Another program's trigger lets the update write the date (while its
    // new list is still being built) but not the client afterwards.
    m_folder->exec("CREATE TRIGGER KEEP_DATE BEFORE UPDATE OF PRICE_DATE ON SETTINGS "
                   "WHEN NOT EXISTS (SELECT 1 FROM sqlite_master WHERE name = 'TARDESK_NEW_PRICE') "
                   "BEGIN SELECT RAISE(ABORT, 'дата защищена'); END");
    update();
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ApplicationError);
    QVERIFY2(m_shown[1].text.startsWith(QStringLiteral("Прайс-лист обновлён.\n")),
             qPrintable(m_shown[1].text));
    QVERIFY(m_shown[1].text.contains(QStringLiteral("дата защищена")));
    QVERIFY(m_form->session().isDatabaseOpen());
    QCOMPARE(m_folder->queryText("SELECT PARTNUMBER FROM PRICE"), QStringLiteral("A-1"));
}

void TestUpdateCommand::pendingSettingsEditKeepsTheNewDate()
{
    SettingsRecord& settings = m_form->session().settings();
    settings.edit();
    settings.setValue(Tables::SettingsField::SUPP_PHONE, QStringLiteral("555-01-02"));
    update();
    QVERIFY(settings.isEditing());
    QCOMPARE(settings.value(Tables::SettingsField::SUPP_PHONE).toString(), QStringLiteral("555-01-02"));
    settings.post();
    QCOMPARE(m_folder->queryText("SELECT SUPP_PHONE FROM SETTINGS"), QStringLiteral("555-01-02"));
    QCOMPARE(m_folder->queryText("SELECT PRICE_DATE FROM SETTINGS"),
             QDate::currentDate().toString(Qt::ISODate));
}

QTEST_MAIN(TestUpdateCommand)
#include "TestUpdateCommand.moc"
