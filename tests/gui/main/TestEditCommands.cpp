#include "gui/main/EditCommands.h"
#include "gui/shared/ActionManager.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void enabledFollowsFocusedField_data();
    void enabledFollowsFocusedField();
    void commandsActOnFocusedField_data();
    void commandsActOnFocusedField();
    void readOnlyFieldKeepsItsText();
    void openingMenuKeepsTarget();

private:
    QStringList enabledCommands() const;
    QWidget* field(const QString& kind) const;

    std::unique_ptr<QWidget> m_window;
    ActionManager* m_actions = nullptr;
    QLineEdit* m_line = nullptr;
    QLineEdit* m_readOnly = nullptr;
    QComboBox* m_combo = nullptr;
    QPlainTextEdit* m_memo = nullptr;
};

void TestEditCommands::init()
{
    QGuiApplication::clipboard()->clear();
    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    m_line = new QLineEdit(m_window.get());
    m_readOnly = new QLineEdit(m_window.get());
    m_readOnly->setReadOnly(true);
    m_combo = new QComboBox(m_window.get());
    m_combo->setEditable(true);
    m_memo = new QPlainTextEdit(m_window.get());
    for (QWidget* widget : {static_cast<QWidget*>(m_line), static_cast<QWidget*>(m_readOnly),
                            static_cast<QWidget*>(m_combo), static_cast<QWidget*>(m_memo)})
        layout->addWidget(widget);
    m_actions = new ActionManager(m_window.get());
    new EditCommands(*m_actions);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestEditCommands::cleanup()
{
    m_window.reset();
    QGuiApplication::clipboard()->clear();
}

QStringList TestEditCommands::enabledCommands() const
{
    QStringList names;
    for (QAction* action : {m_actions->EditUndo1, m_actions->EditCut1, m_actions->EditCopy1,
                            m_actions->EditPaste1, m_actions->EditSelectAll1, m_actions->EditDelete1})
        if (action->isEnabled())
            names << action->objectName();
    return names;
}

QWidget* TestEditCommands::field(const QString& kind) const
{
    if (kind == QLatin1String("line"))
        return m_line;
    if (kind == QLatin1String("readonly"))
        return m_readOnly;
    if (kind == QLatin1String("combo"))
        return m_combo;
    return m_memo;
}

void TestEditCommands::enabledFollowsFocusedField_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("enabled");

    QTest::newRow("empty line edit, empty clipboard") << "line"
                                                      << "" << false << "" << QStringList();
    QTest::newRow("empty line edit, text on clipboard") << "line"
                                                        << "" << false << "X1" << QStringList{"EditPaste1"};
    QTest::newRow("typed text without selection")
        << "line"
        << "ab" << false << "" << QStringList{"EditUndo1", "EditSelectAll1"};
    QTest::newRow("typed text selected")
        << "line"
        << "ab" << true << ""
        << QStringList{"EditUndo1", "EditCut1", "EditCopy1", "EditSelectAll1", "EditDelete1"};
    QTest::newRow("search box with selection and clipboard") << "combo"
                                                             << "ab" << true << "X1" << QStringList();
    QTest::newRow("multi-line edit selected")
        << "memo"
        << "ab" << true << "X1"
        << QStringList{"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1", "EditSelectAll1", "EditDelete1"};
}

void TestEditCommands::enabledFollowsFocusedField()
{
    QFETCH(QString, kind);
    QFETCH(QString, typed);
    QFETCH(bool, selectAll);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, enabled);

    if (!clipboard.isEmpty())
        QGuiApplication::clipboard()->setText(clipboard);
    QWidget* target = field(kind);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), typed);
    if (selectAll)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(enabledCommands(), enabled);
}

void TestEditCommands::commandsActOnFocusedField_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");

    // Each row starts from "abc" typed with "bc" selected and "Z" on the clipboard.
    QTest::newRow("cut") << "line"
                         << "EditCut1"
                         << "a"
                         << "bc";
    QTest::newRow("copy") << "line"
                          << "EditCopy1"
                          << "abc"
                          << "bc";
    QTest::newRow("paste") << "line"
                           << "EditPaste1"
                           << "aZ"
                           << "Z";
    QTest::newRow("delete") << "line"
                            << "EditDelete1"
                            << "a"
                            << "Z";
    QTest::newRow("undo") << "line"
                          << "EditUndo1"
                          << ""
                          << "Z";
    QTest::newRow("delete in multi-line edit") << "memo"
                                               << "EditDelete1"
                                               << "a"
                                               << "Z";
    QTest::newRow("paste in multi-line edit") << "memo"
                                              << "EditPaste1"
                                              << "aZ"
                                              << "Z";
}

void TestEditCommands::commandsActOnFocusedField()
{
    QFETCH(QString, kind);
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);

    QGuiApplication::clipboard()->setText(QStringLiteral("Z"));
    QWidget* target = field(kind);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClicks(target, QStringLiteral("abc"));
    QTest::keyClick(target, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(target, Qt::Key_Left, Qt::ShiftModifier);

    m_window->findChild<QAction*>(command)->trigger();
    const QString current = kind == QLatin1String("line") ? m_line->text() : m_memo->toPlainText();
    QCOMPARE(current, text);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
}

void TestEditCommands::readOnlyFieldKeepsItsText()
{
    m_readOnly->setText(QStringLiteral("abc"));
    m_readOnly->setFocus();
    QTRY_VERIFY(m_readOnly->hasFocus());
    QGuiApplication::clipboard()->setText(QStringLiteral("Z"));
    m_actions->EditSelectAll1->trigger();
    QVERIFY(m_actions->EditCut1->isEnabled());

    m_actions->EditCut1->trigger();
    m_actions->EditDelete1->trigger();
    m_actions->EditPaste1->trigger();
    QCOMPARE(m_readOnly->text(), QStringLiteral("abc"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Z"));

    m_actions->EditCopy1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
}

void TestEditCommands::openingMenuKeepsTarget()
{
    m_line->setFocus();
    QTRY_VERIFY(m_line->hasFocus());
    QTest::keyClicks(m_line, QStringLiteral("abc"));
    QMenu menu;
    menu.addAction(m_actions->EditSelectAll1);
    menu.popup(m_window->mapToGlobal(QPoint(5, 5)));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QVERIFY(m_actions->EditSelectAll1->isEnabled());
    m_actions->EditSelectAll1->trigger();
    menu.close();
    QCOMPARE(m_line->selectedText(), QStringLiteral("abc"));
}

QTEST_MAIN(TestEditCommands)
#include "TestEditCommands.moc"
