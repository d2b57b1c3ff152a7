#include "core/storage/SettingsRecord.h"
#include "gui/setup/TFormSetup.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestFormSetup : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsFollowEditing_data();
    void commandsFollowEditing();
    void keypadDecimalKeyTypesSeparator_data();
    void keypadDecimalKeyTypesSeparator();
    void refusedCharacterStartsNothing_data();
    void refusedCharacterStartsNothing();
    void leavingWritesAndCancelRestores();
    void saveSurvivesRestartUnrounded();
    void emptiedRateStoresNoValue();
    void invalidRateRefused_data();
    void invalidRateRefused();
    void failedSaveKeepsEditing();
    void emptyTableGetsFirstRow();
    void escapeRestoresFieldAndKeepsDialog();
    void shownOnlyWhenHidden();

private:
    void start(bool show = true);
    QLineEdit* field(const char* column) const;
    // What another program reads from the folder now.
    QVariant stored(Tables::SettingsField column);
    void replaceText(QLineEdit* edit, const QString& text);

    std::unique_ptr<ClientFolder> m_folder;
    SettingsRecord* m_record = nullptr;
    std::unique_ptr<TFormSetup> m_form;
};

void TestFormSetup::init()
{
    m_folder = std::make_unique<ClientFolder>();
    answerMessageBoxes();
}

void TestFormSetup::cleanup()
{
    m_form.reset();
    m_record = nullptr;
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

void TestFormSetup::start(bool show)
{
    m_record = &m_folder->settings();
    m_form = std::make_unique<TFormSetup>(*m_record, nullptr);
    if (!show)
        return;
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

QLineEdit* TestFormSetup::field(const char* column) const
{
    return m_form->findChild<QLineEdit*>(QStringLiteral("DBEdit") + QLatin1String(column));
}

QVariant TestFormSetup::stored(Tables::SettingsField column)
{
    const std::unique_ptr<Storage> storage = m_folder->openStorage();
    SettingsRecord record;
    record.open(storage->settings());
    return record.value(column);
}

void TestFormSetup::replaceText(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    typeText(edit, text);
}

void TestFormSetup::commandsFollowEditing_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("typed character") << "type";
    QTest::newRow("backspace") << "backspace";
    QTest::newRow("delete") << "delete";
    QTest::newRow("ctrl+v") << "ctrl+v";
    QTest::newRow("shift+insert") << "shift+insert";
    QTest::newRow("ctrl+x") << "ctrl+x";
    QTest::newRow("context menu paste") << "menu:&Paste";
    QTest::newRow("context menu cut") << "menu:Cu&t";
    QTest::newRow("Изменить") << "command";
}

void TestFormSetup::commandsFollowEditing()
{
    QFETCH(QString, how);
    start();
    QVERIFY(m_form->DataSetSetupEdit->isEnabled());
    QVERIFY(!m_form->DataSetSetupPost->isEnabled());
    QVERIFY(!m_form->DataSetSetupCancel->isEnabled());

    QApplication::clipboard()->setText(QStringLiteral("пасс"));
    QLineEdit* name = field("CL_NAME");
    name->setFocus();
    name->setCursorPosition(3);
    if (how == QLatin1String("type"))
        QTest::keyClick(name, Qt::Key_X);
    else if (how == QLatin1String("backspace"))
        QTest::keyClick(name, Qt::Key_Backspace);
    else if (how == QLatin1String("delete"))
        QTest::keyClick(name, Qt::Key_Delete);
    else if (how == QLatin1String("ctrl+v"))
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    else if (how == QLatin1String("shift+insert"))
        QTest::keyClick(name, Qt::Key_Insert, Qt::ShiftModifier);
    else if (how == QLatin1String("ctrl+x")) {
        name->selectAll();
        QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
    } else if (how.startsWith(QLatin1String("menu:"))) {
        name->selectAll();
        std::unique_ptr<QMenu> menu(name->createStandardContextMenu());
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions())
            if (action->text().startsWith(how.mid(5)))
                chosen = action;
        QVERIFY(chosen && chosen->isEnabled());
        chosen->trigger();
    } else {
        m_form->DataSetSetupEdit->trigger();
    }

    QVERIFY(m_record->isEditing());
    QVERIFY(!m_form->DataSetSetupEdit->isEnabled());
    QVERIFY(m_form->DataSetSetupPost->isEnabled());
    QVERIFY(m_form->DataSetSetupCancel->isEnabled());
    QVERIFY(m_shown.isEmpty());
}

void TestFormSetup::refusedCharacterStartsNothing_data()
{
    QTest::addColumn<QByteArray>("column");
    QTest::addColumn<QString>("typed");

    QTest::newRow("latin letter in rate") << QByteArray("RATE_USD") << "a";
    QTest::newRow("cyrillic e in rate") << QByteArray("RATE_EURO") << "е";
    QTest::newRow("space in rate") << QByteArray("RATE_USD") << " ";
    QTest::newRow("code beyond its length") << QByteArray("CL_ID") << "7";
}

void TestFormSetup::refusedCharacterStartsNothing()
{
    QFETCH(QByteArray, column);
    QFETCH(QString, typed);
    start();
    QLineEdit* edit = field(column.constData());
    const QString before = edit->text();
    edit->setFocus();
    edit->end(false);
    typeText(edit, typed);
    QCOMPARE(edit->text(), before);
    QVERIFY(!m_record->isEditing());
    QVERIFY(m_form->DataSetSetupEdit->isEnabled());
}

// The keypad's decimal key gives "." or "," as the keyboard layout has it.
void TestFormSetup::keypadDecimalKeyTypesSeparator_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("keypad point") << int(Qt::Key_Period);
    QTest::newRow("keypad comma") << int(Qt::Key_Comma);
}

void TestFormSetup::keypadDecimalKeyTypesSeparator()
{
    QFETCH(int, key);
    start();
    QLineEdit* rate = field("RATE_USD");
    rate->setFocus();
    rate->selectAll();
    typeText(rate, QStringLiteral("41"));
    QTest::keyClick(rate, Qt::Key(key), Qt::KeypadModifier);
    typeText(rate, QStringLiteral("5"));
    QCOMPARE(rate->text(), regional(QStringLiteral("41.5")));
}

void TestFormSetup::leavingWritesAndCancelRestores()
{
    start();
    const QString phone = m_record->value(Tables::SettingsField::SUPP_PHONE).toString();
    QSignalSpy values(m_record, &SettingsRecord::valuesChanged);
    replaceText(field("SUPP_PHONE"), QStringLiteral("222-33-44"));
    QCOMPARE(values.count(), 0);
    QTest::keyClick(field("SUPP_PHONE"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), field("SUPP_EMAIL"));
    QCOMPARE(values.count(), 1);
    QCOMPARE(m_record->value(Tables::SettingsField::SUPP_PHONE).toString(), QStringLiteral("222-33-44"));
    QCOMPARE(stored(Tables::SettingsField::SUPP_PHONE).toString(), phone);

    // A typed but unwritten text is dropped by the cancel as well.
    typeText(field("SUPP_EMAIL"), QStringLiteral("x"));
    m_form->DataSetSetupCancel->trigger();
    QVERIFY(!m_record->isEditing());
    QCOMPARE(m_record->value(Tables::SettingsField::SUPP_PHONE).toString(), phone);
    QCOMPARE(field("SUPP_PHONE")->text(), phone);
    QCOMPARE(field("SUPP_EMAIL")->text(), m_record->text(Tables::SettingsField::SUPP_EMAIL));
    QVERIFY(m_shown.isEmpty());
}

void TestFormSetup::saveSurvivesRestartUnrounded()
{
    m_folder->exec("UPDATE SETTINGS SET RATE_USD=41.245");
    start();
    QCOMPARE(field("RATE_USD")->text(), regional("41.25"));
    replaceText(field("RATE_EURO"), regional("44.4321"));
    QTest::keyClick(field("RATE_EURO"), Qt::Key_Tab);
    QCOMPARE(field("RATE_EURO")->text(), regional("44.43"));
    // Passing through the untouched dollar rate must not write its rounded text.
    field("RATE_USD")->setFocus();
    replaceText(field("CL_NAME"), QStringLiteral("Новый клиент"));
    m_form->DataSetSetupPost->trigger();
    QVERIFY(!m_record->isEditing());
    QVERIFY(m_shown.isEmpty());

    QCOMPARE(stored(Tables::SettingsField::CL_NAME).toString(), QStringLiteral("Новый клиент"));
    QCOMPARE(stored(Tables::SettingsField::RATE_EURO).toDouble(), 44.4321);
    QCOMPARE(stored(Tables::SettingsField::RATE_USD).toDouble(), 41.245);
}

void TestFormSetup::emptiedRateStoresNoValue()
{
    start();
    field("RATE_EURO")->setFocus();
    field("RATE_EURO")->selectAll();
    QTest::keyClick(field("RATE_EURO"), Qt::Key_Backspace);
    m_form->DataSetSetupPost->trigger();
    QVERIFY(stored(Tables::SettingsField::RATE_EURO).isNull());
    QCOMPARE(m_record->floatValue(Tables::SettingsField::RATE_EURO), 0.0);
    QCOMPARE(field("RATE_EURO")->text(), QString());
}

void TestFormSetup::invalidRateRefused_data()
{
    QTest::addColumn<bool>("byLeaving");

    QTest::newRow("on leaving the field") << true;
    QTest::newRow("on Сохранить") << false;
}

void TestFormSetup::invalidRateRefused()
{
    QFETCH(bool, byLeaving);
    start();
    QLineEdit* rate = field("RATE_USD");
    replaceText(rate, QStringLiteral("1-2"));
    if (byLeaving) {
        QTest::keyClick(rate, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), rate);
        QCOMPARE(rate->selectedText(), QStringLiteral("1-2"));
    } else {
        m_form->DataSetSetupPost->trigger();
        QCOMPARE(QApplication::focusWidget(), rate);
        QVERIFY(!rate->hasSelectedText());
    }
    QCOMPARE(shownTexts(),
             QStringList{QStringLiteral("'1-2' is not a valid floating point value for field 'Курс USD'")});
    QVERIFY(m_record->isEditing());
    QCOMPARE(rate->text(), QStringLiteral("1-2"));
    QCOMPARE(stored(Tables::SettingsField::RATE_USD).toDouble(), 41.25);

    // Once corrected, the same command goes through.
    replaceText(rate, QStringLiteral("42"));
    m_form->DataSetSetupPost->trigger();
    QCOMPARE(stored(Tables::SettingsField::RATE_USD).toDouble(), 42.0);
}

void TestFormSetup::failedSaveKeepsEditing()
{
    m_folder->exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON SETTINGS BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    start();
    replaceText(field("CL_NAME"), QStringLiteral("Другой"));
    m_form->DataSetSetupPost->trigger();
    QCOMPARE(shownTexts(), QStringList{QStringLiteral("disk full.")});
    QVERIFY(m_record->isEditing());
    QCOMPARE(field("CL_NAME")->text(), QStringLiteral("Другой"));
    QVERIFY(m_form->DataSetSetupPost->isEnabled());
}

void TestFormSetup::emptyTableGetsFirstRow()
{
    m_folder->exec("DELETE FROM SETTINGS");
    start();
    QCOMPARE(field("RATE_USD")->text(), QString());
    m_form->DataSetSetupEdit->trigger();
    QCOMPARE(m_record->state(), SettingsRecord::State::Insert);
    replaceText(field("CL_ID"), QStringLiteral("00042"));
    replaceText(field("RATE_USD"), regional("40.5"));
    m_form->DataSetSetupPost->trigger();
    QVERIFY(m_shown.isEmpty());

    QCOMPARE(m_folder->queryText("SELECT count(*) FROM SETTINGS"), QStringLiteral("1"));
    QCOMPARE(m_folder->queryText("SELECT max(CL_ID) FROM SETTINGS"), QStringLiteral("00042"));
    QCOMPARE(m_folder->queryText("SELECT max(RATE_USD) FROM SETTINGS").toDouble(), 40.5);
}

void TestFormSetup::escapeRestoresFieldAndKeepsDialog()
{
    start();
    QLineEdit* name = field("CL_NAME");
    const QString before = name->text();
    name->setFocus();
    typeText(name, QStringLiteral("xyz"));
    QTest::keyClick(name, Qt::Key_Escape);
    QCOMPARE(name->text(), before);
    QCOMPARE(name->selectedText(), before);
    QVERIFY(m_form->isVisible());
    // Esc restores the field only: the record stays in editing.
    QVERIFY(m_record->isEditing());
    QTest::keyClick(m_form.get(), Qt::Key_Escape);
    QVERIFY(m_form->isVisible());
}

void TestFormSetup::shownOnlyWhenHidden()
{
    // Created hidden, as at program start.
    start(false);
    const QVariant savedName = stored(Tables::SettingsField::SUPP_NAME);
    bool checked = false;
    QTimer::singleShot(0, m_form.get(), [&] {
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->isModal());
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        // A second call while visible must return at once instead of nesting.
        m_form->showModalIfHidden();
        replaceText(field("SUPP_NAME"), QStringLiteral("Другой"));
        QTest::keyClick(field("SUPP_NAME"), Qt::Key_Tab);
        checked = true;
        m_form->close();
    });
    m_form->showModalIfHidden();
    QVERIFY(checked);
    QVERIFY(!m_form->isVisible());
    // Closing neither saves nor discards the edit.
    QVERIFY(m_record->isEditing());
    QCOMPARE(m_record->value(Tables::SettingsField::SUPP_NAME).toString(), QStringLiteral("Другой"));
    QCOMPARE(stored(Tables::SettingsField::SUPP_NAME), savedName);
}

QTEST_MAIN(TestFormSetup)
#include "TestFormSetup.moc"
