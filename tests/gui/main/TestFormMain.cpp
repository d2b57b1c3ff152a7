#include "gui/search/ParametersPanel.h"
#include "gui/search/PriceGrid.h"
#include "gui/setup/TFormSetup.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

class TestFormMain : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menus_data();
    void menus();
    void viewTogglesAgreeEverywhere_data();
    void viewTogglesAgreeEverywhere();
    void toolbarShowsExitThenUpdateWithoutTooltips();
    void parametersFollowSettingsRecord_data();
    void parametersFollowSettingsRecord();
    void editCommandsOffInSearchBoxAndGrid_data();
    void editCommandsOffInSearchBoxAndGrid();
    void splitterWidensLeftPanel();
    void settingsCommandEditsTheRecordShownInPanel();

private:
    QMenu* menuBarMenu(const QString& title) const;
    QAction* viewMenuItem(const QString& caption) const;

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

namespace {

// A menu as one line per item: "-" for a separator, "Title>" for a submenu.
QStringList describe(const QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            items << QStringLiteral("-");
        else if (action->menu())
            items << action->text() + QLatin1Char('>');
        else
            items << action->text();
    }
    return items;
}

} // namespace

void TestFormMain::init()
{
    m_folder = std::make_unique<ClientFolder>();
    answerMessageBoxes();
    m_form = std::make_unique<TFormMain>(m_folder->path());
    QVERIFY(m_form->isInitialized());
}

void TestFormMain::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
    // None of these cases expects a message box.
    QCOMPARE(shownTexts(), QStringList());
}

QMenu* TestFormMain::menuBarMenu(const QString& title) const
{
    for (QAction* action : m_form->ActionMainMenuBar1->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

QAction* TestFormMain::viewMenuItem(const QString& caption) const
{
    for (QAction* action : menuBarMenu(QStringLiteral("Вид"))->actions()) {
        if (action->text() == caption)
            return action;
        if (action->menu())
            for (QAction* inner : action->menu()->actions())
                if (inner->text() == caption)
                    return inner;
    }
    return nullptr;
}

void TestFormMain::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("menu bar") << "" << QStringList{"Операции", "Правка", "Вид", "Документы"};
    QTest::newRow("operations") << "Операции" << QStringList{"Обновление", "Настройки", "-", "Выход"};
    QTest::newRow("edit") << "Правка" << QStringList{"Отменить",   "-",        "Вырезать",
                                                     "Копировать", "Вставить", "Выделить всё",
                                                     "Удалить",    "-",        "Найти по названию…"};
    QTest::newRow("view") << "Вид" << QStringList{"Входная цена",
                                                  "Розница &USD",
                                                  "Розница &EUR",
                                                  "Склад>",
                                                  "-",
                                                  "Параметры",
                                                  "-",
                                                  "Изменение цены",
                                                  "-",
                                                  "Язык>"};
    QTest::newRow("language submenu") << "Язык" << QStringList{"Русский", "Українська", "English"};
    QTest::newRow("warehouse submenu")
        << "Склад" << QStringList{"Склад №&1", "Склад №&2", "Склад №&3", "Склад №&4", "Склад №&5",
                                  "Склад №&6", "Склад №&7", "Склад №&8", "Склад №&9"};
    QTest::newRow("grid context menu, no access keys")
        << "PopupActionPriceParts"
        << QStringList{
               "Входная цена", "Розница USD", "Розница EUR",    "-",        "Склад №1", "Склад №2",
               "Склад №3",     "Склад №4",    "Склад №5",       "Склад №6", "Склад №7", "Склад №8",
               "Склад №9",     "-",           "Изменение цены", "-",        "В заказ",  "Копировать таблицу"};
    QTest::newRow("documents")
        << "Документы"
        << QStringList{"В заказ", "Заказ поставщику…", "-", "Предложение клиенту…", "Копировать таблицу",
                       "-",       "Изменения прайса…"};
}

void TestFormMain::menus()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);

    QStringList actual;
    if (menu.isEmpty()) {
        for (QAction* action : m_form->ActionMainMenuBar1->actions())
            actual << action->text();
    } else if (menu == QLatin1String("PopupActionPriceParts")) {
        actual = describe(m_form->findChild<QMenu*>(menu));
    } else if (menu == QStringLiteral("Склад") || menu == QStringLiteral("Язык")) {
        actual = describe(viewMenuItem(menu)->menu());
    } else {
        actual = describe(menuBarMenu(menu));
    }
    QCOMPARE(actual, items);
}

void TestFormMain::viewTogglesAgreeEverywhere_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("menuCaption");
    QTest::addColumn<bool>("fromContextMenu");

    QTest::newRow("dollar from context menu") << "ActionPriceUSView"
                                              << "Розница &USD" << true;
    QTest::newRow("dollar from view menu") << "ActionPriceUSView"
                                           << "Розница &USD" << false;
    QTest::newRow("warehouse 9 from context menu") << "actionPriceFieldWH8"
                                                   << "Склад №&9" << true;
    QTest::newRow("warehouse 1 from view menu") << "actionPriceFieldWH0"
                                                << "Склад №&1" << false;
    QTest::newRow("input price from view menu") << "actionPriceVhodView"
                                                << "Входная цена" << false;
}

void TestFormMain::viewTogglesAgreeEverywhere()
{
    QFETCH(QString, command);
    QFETCH(QString, menuCaption);
    QFETCH(bool, fromContextMenu);

    auto* action = m_form->findChild<QAction*>(command);
    QAction* menuItem = viewMenuItem(menuCaption);
    QVERIFY(action && menuItem);
    QVERIFY(m_form->PopupActionPriceParts->actions().contains(action));
    QVERIFY(!action->isChecked());

    (fromContextMenu ? action : menuItem)->trigger();
    QVERIFY(action->isChecked());
    QVERIFY(menuItem->isChecked());

    (fromContextMenu ? menuItem : action)->trigger();
    QVERIFY(!action->isChecked());
    QVERIFY(!menuItem->isChecked());

    action->setEnabled(false);
    QVERIFY(!menuItem->isEnabled());
}

void TestFormMain::toolbarShowsExitThenUpdateWithoutTooltips()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QList<QAction*> actions = m_form->ToolBar1->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0], m_form->actions().actionExitProgramm);
    QCOMPARE(actions[1], m_form->actions().actionUpdatePrice);
    for (QAction* action : actions) {
        auto* button = qobject_cast<QToolButton*>(m_form->ToolBar1->widgetForAction(action));
        QCOMPARE(button->size(), QSize(69, 36));
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(button, &help);
        QVERIFY(!QToolTip::isVisible());
    }
}

void TestFormMain::parametersFollowSettingsRecord_data()
{
    QTest::addColumn<Tables::SettingsField>("column");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("date of update") << Tables::SettingsField::PRICE_DATE << QVariant(QDate(2024, 3, 5))
                                    << "05.03.2024";
    QTest::newRow("dollar rate rounded")
        << Tables::SettingsField::RATE_USD << QVariant(39.456) << regional("39.46");
    QTest::newRow("dollar rate half a kopeck")
        << Tables::SettingsField::RATE_USD << QVariant(41.245) << regional("41.25");
    QTest::newRow("euro rate whole") << Tables::SettingsField::RATE_EURO << QVariant(45.0)
                                     << regional("45.00");
    QTest::newRow("rate cleared") << Tables::SettingsField::RATE_EURO << QVariant() << "";
    QTest::newRow("phone shown as typed, not as markup")
        << Tables::SettingsField::SUPP_PHONE << QVariant("<b>123</b> & 456") << "<b>123</b> & 456";
}

void TestFormMain::parametersFollowSettingsRecord()
{
    QFETCH(Tables::SettingsField, column);
    QFETCH(QVariant, value);
    QFETCH(QString, shown);

    auto* label =
        m_form->GroupBoxParameters->findChild<QLabel*>(QLatin1String(Tables::settingsColumn(column).name));
    QVERIFY(label);
    const QString before = label->text();
    SettingsRecord& settings = m_form->session().settings();
    settings.edit();
    settings.setValue(column, value);
    QCOMPARE(label->text(), shown);
    settings.cancel();
    QCOMPARE(label->text(), before);
}

void TestFormMain::editCommandsOffInSearchBoxAndGrid_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("search box") << "cbSearchNr";
    QTest::newRow("grid without cell editor") << "DBGridPartsPrice";
}

void TestFormMain::editCommandsOffInSearchBoxAndGrid()
{
    QFETCH(QString, control);
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QGuiApplication::clipboard()->setText(QStringLiteral("X1"));
    m_form->cbSearchNr->setEditText(QStringLiteral("abc"));
    m_form->cbSearchNr->lineEdit()->selectAll();

    auto* widget = m_form->findChild<QWidget*>(control);
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());
    const ActionManager& actions = m_form->actions();
    for (QAction* action : {actions.EditUndo1, actions.EditCut1, actions.EditCopy1, actions.EditPaste1,
                            actions.EditSelectAll1, actions.EditDelete1})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
}

void TestFormMain::splitterWidensLeftPanel()
{
    m_form->actions().ActionParametersView->trigger();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QCOMPARE(m_form->Panel1->width(), 157);
    const int gridWidth = m_form->DBGridPartsPrice->width();

    QWidget* handle = m_form->Splitter1->handle(1);
    QCOMPARE(handle->width(), 5);
    const QPoint grip(2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(60, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(60, 0));

    QCOMPARE(m_form->Panel1->width(), 217);
    QCOMPARE(m_form->DBGridPartsPrice->width(), gridWidth - 60);
    // The parameters group still fills the panel below the search group.
    const QRect parameters = m_form->GroupBoxParameters->geometry();
    QCOMPARE(parameters.top(), m_form->GroupBox1->geometry().bottom() + 1);
    QCOMPARE(parameters.bottom(), m_form->Panel1->height() - 1);
    QCOMPARE(parameters.width(), 217);
    QCOMPARE(m_form->GroupBox1->height(), 345);
}

void TestFormMain::settingsCommandEditsTheRecordShownInPanel()
{
    m_form->show();
    TFormSetup* dialog = m_form->findChild<TFormSetup*>();
    QVERIFY(dialog && !dialog->isVisible());
    const auto* phone = m_form->GroupBoxParameters->findChild<QLabel*>(QStringLiteral("SUPP_PHONE"));
    const QString oldPhone = phone->text();
    bool wasModal = false;
    QString edited, cancelled;
    QTimer::singleShot(0, dialog, [&] {
        wasModal = dialog->isVisible() && dialog->isModal();
        // A second Settings command while the dialog is up does nothing.
        m_form->actions().ActionSetup->trigger();
        dialog->activateWindow();
        if (QTest::qWaitForWindowActive(dialog)) {
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("DBEditSUPP_PHONE"));
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("555-01-02"));
            dialog->findChild<QLineEdit*>(QStringLiteral("DBEditSUPP_EMAIL"))->setFocus();
            edited = phone->text();
            dialog->DataSetSetupCancel->trigger();
            cancelled = phone->text();
        }
        dialog->close();
    });
    m_form->actions().ActionSetup->trigger();
    QVERIFY(wasModal);
    QVERIFY(!dialog->isVisible());
    // Leaving the field writes it into the record, which the panel follows at once.
    QCOMPARE(edited, QStringLiteral("555-01-02"));
    QCOMPARE(cancelled, oldPhone);
}

QTEST_MAIN(TestFormMain)
#include "TestFormMain.moc"
