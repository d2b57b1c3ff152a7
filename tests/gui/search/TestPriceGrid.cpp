#include "core/config/IniFile.h"
#include "core/search/PriceGridColumns.h"
#include "core/sqlite/Schema.h"
#include "gui/search/CrossList.h"
#include "gui/search/ParametersPanel.h"
#include "gui/search/PriceGrid.h"
#include "gui/search/PriceGridDelegate.h"
#include "gui/search/PriceListModel.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <memory>

// The price grid in the main window: columns, view toggles, painting and
// the read-only cell editor.
class TestPriceGrid : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columns();
    void togglesFromFile_data();
    void togglesFromFile();
    void draggedColumnIsTheOneToggled();
    void togglesSurviveRestart();
    void changeColumnSurvivesRestart();
    void changesWindowSearchesThePart();
    void cellColours_data();
    void cellColours();
    void currentRecordIsPainted();
    void reopeningKeepsCurrentColumn_data();
    void reopeningKeepsCurrentColumn();
    void cellEditorIsReadOnly_data();
    void cellEditorIsReadOnly();

private:
    void startForm(const QByteArray& ini = QByteArray());
    QStringList shownTitles() const;
    void openPriceList();
    // AB-1 dearer than before, AB-2 new.
    void addChanges();

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

void TestPriceGrid::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec(
        "INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0);"
        "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE, WH3)"
        " VALUES ('G0', 'AB-1', 'AB1', 'Фильтр', 'X1', 10, 7), ('G0', 'AB-2', 'AB2', 'Свеча', 'X1', 20, 0)");
    answerMessageBoxes();
}

void TestPriceGrid::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
    // None of these cases expects a message box.
    QCOMPARE(shownTexts(), QStringList());
}

void TestPriceGrid::startForm(const QByteArray& ini)
{
    if (!ini.isNull())
        m_folder->writeFile(QStringLiteral("Tardesk.ini"), ini);
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

QStringList TestPriceGrid::shownTitles() const
{
    const QHeaderView* header = m_form->DBGridPartsPrice->horizontalHeader();
    QStringList titles;
    for (int position = 0; position < header->count(); ++position) {
        const int column = header->logicalIndex(position);
        if (!header->isSectionHidden(column))
            titles << header->model()->headerData(column, Qt::Horizontal).toString();
    }
    return titles;
}

void TestPriceGrid::openPriceList()
{
    search(*m_form, QStringLiteral("AB"));
    QCOMPARE(m_form->DBGridPartsPrice->model()->rowCount(), 2);
}

void TestPriceGrid::columns()
{
    startForm("[PRICE]\r\nShowVhod=1\r\nShowUS=1\r\nShowWH0=1\r\n");
    const PriceGrid* grid = m_form->DBGridPartsPrice;
    const QHeaderView* header = grid->horizontalHeader();
    QCOMPARE(header->sectionSize(0), 120);
    QCOMPARE(header->sectionSize(1), 250);
    QCOMPARE(header->sectionSize(3), 74);
    QCOMPARE(header->sectionSize(4), 72);
    const QFontMetrics metrics(grid->font());
    const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
    QCOMPARE(header->sectionSize(2),
             std::max(zero * 10, metrics.horizontalAdvance(QStringLiteral("Вход"))) + 4);
    QCOMPARE(header->sectionSize(6),
             std::max(zero * 7, metrics.horizontalAdvance(QStringLiteral("Скл №1"))) + 4);
    QVERIFY(header->sectionsMovable());
    QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
}

void TestPriceGrid::togglesFromFile_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("parameters");

    QTest::newRow("empty file") << QByteArray("") << QStringList{"Код товара", "Наименование", "Розница UAH"}
                                << false;
    QTest::newRow("warehouse 4 alone")
        << QByteArray("[PRICE]\r\nShowWH3=1\r\n")
        << QStringList{"Код товара", "Наименование", "Розница UAH", "Скл №4"} << false;
    QTest::newRow("all prices and parameters, small letters, 2 and hex")
        << QByteArray("[price]\nshowvhod=2\nShowUS=0x1\nShowEU=1\nShowParameters=1\nShowWH8=yes\n")
        << QStringList{"Код товара", "Наименование", "Вход", "Розница UAH", "Розница USD", "Розница EUR"}
        << true;
}

void TestPriceGrid::togglesFromFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, titles);
    QFETCH(bool, parameters);

    startForm(ini);
    QCOMPARE(shownTitles(), titles);
    QCOMPARE(m_form->GroupBoxParameters->isVisible(), parameters);
    QCOMPARE(m_form->actions().ActionParametersView->isChecked(), parameters);
    QCOMPARE(m_form->actions().actionPriceFieldWH[3]->isChecked(), titles.contains(QStringLiteral("Скл №4")));
    // The price list opened later shows the same columns.
    openPriceList();
    QCOMPARE(shownTitles(), titles);
}

void TestPriceGrid::draggedColumnIsTheOneToggled()
{
    startForm("[PRICE]\r\nShowVhod=1\r\n");
    QHeaderView* header = m_form->DBGridPartsPrice->horizontalHeader();
    header->moveSection(3, 2); // "Розница UAH" to position 2
    m_form->actions().actionPriceVhodView->trigger();
    QCOMPARE(shownTitles(), (QStringList{"Код товара", "Наименование", "Вход"}));
    QVERIFY(!m_form->actions().actionPriceVhodView->isChecked());
}

void TestPriceGrid::togglesSurviveRestart()
{
    startForm("[PRICE]\r\nShowEU=1\r\n");
    // Toggled while the price list is closed, and still so once it opens.
    m_form->actions().ActionPriceEUView->trigger();
    m_form->actions().actionPriceFieldWH[8]->trigger();
    m_form->actions().ActionParametersView->trigger();
    openPriceList();
    const QStringList titles{"Код товара", "Наименование", "Розница UAH", "Скл №9"};
    QCOMPARE(shownTitles(), titles);
    m_form->actions().actionExitProgramm->trigger();
    m_form.reset();

    startForm();
    QCOMPARE(shownTitles(), titles);
    QVERIFY(!m_form->actions().ActionPriceEUView->isChecked());
    QVERIFY(m_form->GroupBoxParameters->isVisible());
}

void TestPriceGrid::addChanges()
{
    m_folder->exec(Schema::kCreatePriceChanges);
    m_folder->exec(
        "INSERT INTO PRICE_CHANGES (ROW_ID, KIND, OLD_PRICE) VALUES (1, 'up', 8), (2, 'new', NULL)");
}

void TestPriceGrid::changeColumnSurvivesRestart()
{
    addChanges();
    const QByteArray thirteen = "[PRICE]\r\nShowEU=1\r\n";
    startForm(thirteen);
    QVERIFY(!m_form->actions().actionPriceChangeView->isChecked());
    // Off and never set, its key is not written: the file holds only the other toggles' keys.
    m_form->actions().actionExitProgramm->trigger();
    m_form.reset();
    QCOMPARE(IniFile(m_folder->iniFileName())
                 .ReadString(QStringLiteral("PRICE"), QStringLiteral("ShowChange"), QStringLiteral("none")),
             QStringLiteral("none"));

    startForm();
    m_form->actions().actionPriceChangeView->trigger();
    m_form->actions().actionExitProgramm->trigger();
    m_form.reset();

    startForm();
    QVERIFY(m_form->actions().actionPriceChangeView->isChecked());
    openPriceList();
    QCOMPARE(shownTitles(),
             (QStringList{"Код товара", "Наименование", "Розница UAH", "Розница EUR", "Изм. %"}));
    QCOMPARE(columnTexts(m_form->DBGridPartsPrice->model(), PriceGridColumns::kChange),
             (QStringList{regional(QStringLiteral("+25.0")), QStringLiteral("нов.")}));
}

void TestPriceGrid::changesWindowSearchesThePart()
{
    addChanges();
    startForm();
    m_form->actions().actionPriceChanges->trigger();
    auto* window = m_form->findChild<QDialog*>(QStringLiteral("FormPriceChanges"));
    QVERIFY(window && window->isVisible());
    auto* kinds = window->findChild<QComboBox*>(QStringLiteral("cbChangeKind"));
    kinds->setCurrentIndex(kinds->findData(int(PriceChange::Kind::New)));
    auto* table = window->findChild<QTableView*>(QStringLiteral("DBGridPriceChanges"));
    QCOMPARE(table->model()->rowCount(), 1);
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(m_form->currentSearchNr(), QStringLiteral("AB2"));
    QCOMPARE(m_form->cbSearchNr->itemText(0), QStringLiteral("AB2"));
    QCOMPARE(m_form->DBGridPartsPrice->model()->rowCount(), 2);
}

void TestPriceGrid::cellColours_data()
{
    QTest::addColumn<bool>("currentRecord");
    QTest::addColumn<bool>("currentCell");
    QTest::addColumn<bool>("gridHasFocus");
    QTest::addColumn<bool>("activeControl");
    QTest::addColumn<int>("priceMove");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("text");

    QTest::newRow("other record") << false << false << true << true << 0 << "base"
                                  << "text";
    QTest::newRow("a rise in another record") << false << false << true << true << 1 << "base"
                                              << "rise";
    QTest::newRow("a fall in the band") << true << false << true << true << -1 << "sky"
                                        << "fall";
    QTest::newRow("a rise in the focused cell keeps the highlight")
        << true << true << true << true << 1 << "highlight"
        << "highlightedText";
    QTest::newRow("a fall in the current cell of an inactive window: ordinary text")
        << true << true << false << true << -1 << "highlight"
        << "text";
    QTest::newRow("a rise in the current cell while another control has the focus")
        << true << true << false << false << 1 << "sky"
        << "rise";
    QTest::newRow("focused grid: current record, other cell") << true << false << true << true << 0 << "sky"
                                                              << "text";
    QTest::newRow("focused grid: current cell") << true << true << true << true << 0 << "highlight"
                                                << "highlightedText";
    QTest::newRow("window inactive: current cell keeps highlight, ordinary text")
        << true << true << false << true << 0 << "highlight"
        << "text";
    QTest::newRow("other control focused: whole row sky blue") << true << true << false << false << 0 << "sky"
                                                               << "text";
}

void TestPriceGrid::cellColours()
{
    QFETCH(bool, currentRecord);
    QFETCH(bool, currentCell);
    QFETCH(bool, gridHasFocus);
    QFETCH(bool, activeControl);
    QFETCH(int, priceMove);
    QFETCH(QString, background);
    QFETCH(QString, text);

    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, Qt::darkBlue);
    palette.setColor(QPalette::HighlightedText, Qt::yellow);
    const QHash<QString, QColor> named{{"base", Qt::white},
                                       {"text", Qt::black},
                                       {"sky", QColor(166, 202, 240)},
                                       {"highlight", Qt::darkBlue},
                                       {"highlightedText", Qt::yellow},
                                       {"rise", QColor(139, 0, 0)},
                                       {"fall", QColor(0, 100, 0)}};
    const auto colours = PriceGridDelegate::colours(
        {currentRecord, currentCell, gridHasFocus, activeControl, priceMove}, palette);
    QCOMPARE(colours.background, named.value(background));
    QCOMPARE(colours.text, named.value(text));
}

void TestPriceGrid::currentRecordIsPainted()
{
    startForm();
    openPriceList();
    PriceGrid* grid = m_form->DBGridPartsPrice;
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentIndex().row(), 1);
    const auto pixel = [grid](int row, int column) {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        return grid->viewport()->grab().toImage().pixelColor(cell.topLeft() + QPoint(2, 2));
    };
    const int current = grid->currentIndex().column();
    const int other = current == 0 ? 1 : 0;
    const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(pixel(1, current), highlight);
    QCOMPARE(pixel(1, other), QColor(166, 202, 240));
    QCOMPARE(pixel(0, other), grid->palette().color(QPalette::Base));

    // The focus in the search box leaves the whole row sky blue.
    m_form->cbSearchNr->setFocus();
    QTRY_VERIFY(!grid->hasFocus());
    QCOMPARE(pixel(1, current), QColor(166, 202, 240));
}

void TestPriceGrid::reopeningKeepsCurrentColumn_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("hideColumn");
    QTest::addColumn<int>("expected");

    QTest::newRow("by a search") << "search" << false << 3;
    QTest::newRow("by a click in the list") << "click" << false << 3;
    QTest::newRow("column hidden meanwhile") << "search" << true << 0;
}

void TestPriceGrid::reopeningKeepsCurrentColumn()
{
    QFETCH(QString, how);
    QFETCH(bool, hideColumn);
    QFETCH(int, expected);
    startForm("[PRICE]\r\nShowUS=1\r\n");
    openPriceList();
    PriceGrid* grid = m_form->DBGridPartsPrice;
    grid->setCurrentIndex(grid->model()->index(1, 4));
    QTest::keyClick(grid, Qt::Key_Left); // to "Розница UAH"
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 3));
    if (hideColumn)
        grid->setColumnHidden(3, true);
    if (how == QLatin1String("search")) {
        openPriceList();
    } else {
        CrossList* list = m_form->listboxSearch;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    }
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, expected));
}

void TestPriceGrid::cellEditorIsReadOnly_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("F2") << int(Qt::Key_F2);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
    QTest::newRow("typed character") << int(Qt::Key_Q);
}

void TestPriceGrid::cellEditorIsReadOnly()
{
    QFETCH(int, key);
    startForm();
    openPriceList();
    PriceGrid* grid = m_form->DBGridPartsPrice;
    grid->setCurrentIndex(grid->model()->index(0, 3));
    QTest::keyClick(grid, Qt::Key(key));
    auto* editor = grid->findChild<QLineEdit*>(QStringLiteral("InplaceEditor"));
    QVERIFY(editor && editor->isVisible());
    QTRY_VERIFY(editor->hasFocus());
    QVERIFY(editor->isReadOnly());
    QCOMPARE(editor->text(), regional("10.00"));

    const ActionManager& actions = m_form->actions();
    actions.EditSelectAll1->trigger();
    QGuiApplication::clipboard()->clear();
    actions.EditCopy1->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), regional("10.00"));
    for (QAction* action : {actions.EditCut1, actions.EditPaste1, actions.EditDelete1}) {
        QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        action->trigger();
        QCOMPARE(editor->text(), regional("10.00"));
    }
    QCOMPARE(grid->model()->index(0, 3).data().toString(), regional("10.00"));

    // Enter closes the editor, and so does Esc after F2 opened it again.
    QPointer<QLineEdit> closing(editor);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(closing.isNull());
    QTRY_VERIFY(grid->hasFocus());
    QVERIFY(!grid->findChild<QLineEdit*>(QStringLiteral("InplaceEditor")));
    QTest::keyClick(grid, Qt::Key_F2);
    closing = grid->findChild<QLineEdit*>(QStringLiteral("InplaceEditor"));
    QVERIFY(closing);
    QTest::keyClick(closing, Qt::Key_Escape);
    QTRY_VERIFY(closing.isNull());
}

QTEST_MAIN(TestPriceGrid)
#include "TestPriceGrid.moc"
