#include "core/sqlite/ClientFiles.h"
#include "core/text/RegionalFormats.h"
#include "gui/main/TFormMain.h"
#include "gui/search/CrossList.h"
#include "gui/search/ParametersPanel.h"
#include "gui/shared/ActionManager.h"
#include "gui/shared/MessageBoxes.h"
#include "support/FileDigest.h"

#include <SQLiteCpp/Database.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestUpdateCommand : public QObject
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
    void write(const QString& name, const QByteArray& content);
    QByteArray databaseDigest() const;
    QString shownDate() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TFormMain> m_form;
    QList<MessageBoxes::Shown> m_shown;
    MessageBoxes::Answer m_answer = MessageBoxes::Answer::Yes;
};

void TestUpdateCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ClientFiles::create(m_dir->path());
    write(QStringLiteral("import.txt"),
          "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\nG1;A-1;A1;Деталь;X1;10\n");
    write(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nG1;Фильтры;10\n");
    m_shown.clear();
    m_answer = MessageBoxes::Answer::Yes;
    MessageBoxes::setHandler([this](const MessageBoxes::Shown& shown) {
        m_shown << shown;
        return shown.kind == MessageBoxes::Kind::Confirmation ? m_answer : MessageBoxes::Answer::Ok;
    });
    m_form = std::make_unique<TFormMain>(m_dir->path());
    QVERIFY(m_form->isInitialized());
    m_form->show();
}

void TestUpdateCommand::cleanup()
{
    m_form.reset();
    MessageBoxes::setHandler({});
}

void TestUpdateCommand::write(const QString& name, const QByteArray& content)
{
    QFile file(m_dir->filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray TestUpdateCommand::databaseDigest() const
{
    return fileDigest(ClientFiles::databaseFileName(m_dir->path()));
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
    m_answer = answer;
    const QByteArray before = databaseDigest();
    bool progressShown = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this,
            [&] { progressShown |= m_form->findChild<QWidget*>(QStringLiteral("formWait")) != nullptr; });
    probe.start(0);
    m_form->actions().actionUpdatePrice->trigger();
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].caption, QStringLiteral("Confirm"));
    QCOMPARE(m_shown[0].text, QStringLiteral("Вы хотите загрузить прайс-лист и скидки?"));
    QVERIFY(!progressShown);
    QCOMPARE(databaseDigest(), before);
}

void TestUpdateCommand::bothFilesShowTheNewDate()
{
    QCOMPARE(shownDate(), QString());
    m_form->actions().actionUpdatePrice->trigger();
    // The report of a first update, once the progress window is gone.
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::Information);
    QCOMPARE(m_shown[1].text, QStringLiteral("Новых позиций: 1"));
    QCOMPARE(shownDate(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    QVERIFY(!m_form->findChild<QWidget*>(QStringLiteral("formWait")));
    QVERIFY(m_form->session().database().isOpen());
    QVERIFY(m_form->actions().actionUpdatePrice->isEnabled());
    SQLite::Database db(ClientFiles::databaseFileName(m_dir->path()).toStdString());
    QCOMPARE(db.execAndGet("SELECT PARTNUMBER FROM PRICE").getString(), std::string("A-1"));
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
    m_form->actions().actionUpdatePrice->trigger();
    QVERIFY(seen);
    QVERIFY(!enabled);
    QVERIFY(stillVisible);
    QVERIFY(m_form->isVisible());
    QVERIFY(m_form->actions().ActionSetup->isEnabled());
    QVERIFY(m_form->listboxSearch->isEnabled());
}

void TestUpdateCommand::failureShowsMessageAndKeepsWorking()
{
    QFile::remove(m_dir->filePath(QStringLiteral("import.txt")));
    const QByteArray before = databaseDigest();
    m_form->actions().actionUpdatePrice->trigger();
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ApplicationError);
    QVERIFY2(m_shown[1].text.contains(QStringLiteral("import.txt")), qPrintable(m_shown[1].text));
    QVERIFY(!m_form->findChild<QWidget*>(QStringLiteral("formWait")));
    QCOMPARE(databaseDigest(), before);
    QVERIFY(m_form->session().database().isOpen());
    QCOMPARE(m_form->session().settings().floatValue(Tables::SettingsField::RATE_USD), 41.25);
}

void TestUpdateCommand::failureAfterReplacementSaysUpdated()
{
    // Another program's trigger lets the update write the date into the new
    // file (the trigger comes in after the rows) but not the client afterwards.
    SQLite::Database(ClientFiles::databaseFileName(m_dir->path()).toStdString(), SQLite::OPEN_READWRITE)
        .exec("CREATE TRIGGER KEEP_DATE BEFORE UPDATE OF PRICE_DATE ON SETTINGS "
              "BEGIN SELECT RAISE(ABORT, 'дата защищена'); END");
    m_form->actions().actionUpdatePrice->trigger();
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ApplicationError);
    QVERIFY2(m_shown[1].text.startsWith(QStringLiteral("Прайс-лист обновлён.\n")),
             qPrintable(m_shown[1].text));
    QVERIFY(m_shown[1].text.contains(QStringLiteral("дата защищена")));
    QVERIFY(m_form->session().database().isOpen());
    SQLite::Database db(ClientFiles::databaseFileName(m_dir->path()).toStdString());
    QCOMPARE(db.execAndGet("SELECT PARTNUMBER FROM PRICE").getString(), std::string("A-1"));
}

void TestUpdateCommand::pendingSettingsEditKeepsTheNewDate()
{
    SettingsRecord& settings = m_form->session().settings();
    settings.edit();
    settings.setValue(Tables::SettingsField::SUPP_PHONE, QStringLiteral("555-01-02"));
    m_form->actions().actionUpdatePrice->trigger();
    QVERIFY(settings.isEditing());
    QCOMPARE(settings.value(Tables::SettingsField::SUPP_PHONE).toString(), QStringLiteral("555-01-02"));
    settings.post();
    SQLite::Database db(ClientFiles::databaseFileName(m_dir->path()).toStdString());
    QCOMPARE(db.execAndGet("SELECT SUPP_PHONE FROM SETTINGS").getString(), std::string("555-01-02"));
    QCOMPARE(db.execAndGet("SELECT PRICE_DATE FROM SETTINGS").getString(),
             QDate::currentDate().toString(Qt::ISODate).toStdString());
}

QTEST_MAIN(TestUpdateCommand)
#include "TestUpdateCommand.moc"
