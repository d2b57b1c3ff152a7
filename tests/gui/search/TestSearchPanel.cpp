#include "gui/search/CrossList.h"
#include "gui/search/PriceGrid.h"
#include "gui/search/PriceListModel.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

// The search box, the list of cross numbers and the result label in the
// main window, driven as the clerk drives them.
class TestSearchPanel : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void searches_data();
    void searches();
    void repeatedSearchKeepsHistory();
    void typedLettersAreCapitalsAndComplete();
    void historyChosenByArrowKeysSearches();
    void historySurvivesRestart();
    void choosingLineReopensPriceList();
    void typeAheadInList();
    void backspaceInEmptyListDoesNothing();
    void searchCanBeDisabled();
    void missingPriceTableFailsEachSearch();

private:
    void startForm();
    QStringList gridColumn(int column) const
    {
        return columnTexts(m_form->DBGridPartsPrice->model(), column);
    }

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

void TestSearchPanel::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec(
        "INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0), ('G10', 'Десять', 10);"
        "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE) VALUES"
        " ('G10', '1K0 129.620-D', '1K0129620D', 'Фильтр', 'X1', 100),"
        " ('G0', 'ABC-1', 'ABC1', 'Фильтр малый', 'X1', 80),"
        " ('G0', '1K0-555', '1K0555', 'Свеча', 'X2', 50),"
        " ('G0', 'ВАЗ 2101/1', 'ВАЗ21011', 'Ремень', 'Y7', 30),"
        " ('G0', 'ВАЗ 2108', 'ВАЗ2108', 'Ремень', 'Y8', 31)");
    answerMessageBoxes();
    startForm();
}

void TestSearchPanel::startForm()
{
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

void TestSearchPanel::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

void TestSearchPanel::searches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("searchNr");
    QTest::addColumn<QStringList>("crosses");
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("severalBox");
    QTest::addColumn<int>("currentRow"); // the typed part's, else the first

    QTest::newRow("blanks, dots and a dash dropped: the typed part current")
        << "1k0 129.620-d"
        << "1K0129620D" << QStringList{"X1"} << QStringList{"ABC-1", "1K0 129.620-D"} << "Ok" << false << 1;
    QTest::newRow("cyrillic with slash")
        << "ваз 2101/1"
        << "ВАЗ21011" << QStringList{"Y7"} << QStringList{"ВАЗ 2101/1"} << "Ok" << false << 0;
    QTest::newRow("several groups: box, first group's rows")
        << "1k0"
        << "1K0" << QStringList{"X1", "X2"} << QStringList{"ABC-1", "1K0 129.620-D"} << "Ok" << true << 0;
    QTest::newRow("latin letters typed on a cyrillic layout")
        << "аВс1"
        << "АВС1" << QStringList{"X1"} << QStringList{"ABC-1", "1K0 129.620-D"} << "Ok" << false << 0;
    QTest::newRow("no match") << "Q-77"
                              << "Q77" << QStringList() << QStringList() << "не найден" << false << 0;
}

void TestSearchPanel::searches()
{
    QFETCH(QString, typed);
    QFETCH(QString, searchNr);
    QFETCH(QStringList, crosses);
    QFETCH(QStringList, grid);
    QFETCH(QString, found);
    QFETCH(bool, severalBox);
    QFETCH(int, currentRow);

    // A previous search's list and grid are replaced.
    search(*m_form, QStringLiteral("ВАЗ"));
    m_shown.clear();

    search(*m_form, typed);
    QCOMPARE(m_form->currentSearchNr(), searchNr);
    QCOMPARE(m_form->cbSearchNr->history().entries().first(), searchNr);
    QCOMPARE(m_form->cbSearchNr->itemText(0), searchNr);
    // The box keeps the text as typed, in capitals.
    QCOMPARE(m_form->cbSearchNr->currentText(), typed.toUpper());
    QCOMPARE(m_form->listboxSearch->lines(), crosses);
    QCOMPARE(m_form->listboxSearch->currentRow(), -1);
    QVERIFY(m_form->listboxSearch->selectedItems().isEmpty());
    QCOMPARE(gridColumn(0), grid);
    QCOMPARE(m_form->lbFound->text(), found);
    QCOMPARE(m_shown.size(), severalBox ? 1 : 0);
    if (severalBox) {
        QCOMPARE(m_shown[0].kind, MessageBoxes::Kind::Information);
        QCOMPARE(m_shown[0].text, QStringLiteral("Имеется несколько замен"));
    }
    if (!grid.isEmpty()) {
        QVERIFY(m_form->DBGridPartsPrice->hasFocus());
        QCOMPARE(m_form->DBGridPartsPrice->currentIndex().row(), currentRow);
    }
}

void TestSearchPanel::repeatedSearchKeepsHistory()
{
    search(*m_form, QStringLiteral("abc-1"));
    search(*m_form, QStringLiteral("1K0"));
    search(*m_form, QStringLiteral("A.B.C.1"));
    QCOMPARE(m_form->cbSearchNr->history().entries(), (QStringList{"1K0", "ABC1"}));
    QCOMPARE(m_form->cbSearchNr->count(), 2);
    QCOMPARE(m_form->listboxSearch->lines(), QStringList{"X1"});

    // Only punctuation: nothing to keep, nothing found.
    search(*m_form, QStringLiteral("--"));
    QCOMPARE(m_form->cbSearchNr->count(), 2);
    QCOMPARE(m_form->lbFound->text(), QStringLiteral("не найден"));

    // An empty box does nothing at all.
    m_form->cbSearchNr->lineEdit()->clear();
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Return);
    QCOMPARE(m_form->lbFound->text(), QStringLiteral("не найден"));
}

void TestSearchPanel::typedLettersAreCapitalsAndComplete()
{
    search(*m_form, QStringLiteral("вАз2108"));
    search(*m_form, QStringLiteral("abc1"));
    QLineEdit* edit = m_form->cbSearchNr->lineEdit();
    edit->clear();
    m_form->cbSearchNr->setFocus();

    typeText(m_form->cbSearchNr, QStringLiteral("в"));
    QCOMPARE(edit->text(), QStringLiteral("ВАЗ2108"));
    QCOMPARE(edit->selectedText(), QStringLiteral("АЗ2108"));
    // The next character replaces the completed part and completes again.
    typeText(m_form->cbSearchNr, QStringLiteral("а"));
    QCOMPARE(edit->text(), QStringLiteral("ВАЗ2108"));
    QCOMPARE(edit->selectedText(), QStringLiteral("З2108"));
    // Backspace removes the completion instead of bringing it back.
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("ВА"));
    typeText(m_form->cbSearchNr, QStringLiteral("x"));
    QCOMPARE(edit->text(), QStringLiteral("ВАX"));
    QVERIFY(!edit->hasSelectedText());
}

void TestSearchPanel::historyChosenByArrowKeysSearches()
{
    search(*m_form, QStringLiteral("abc1"));
    search(*m_form, QStringLiteral("ВАЗ2108"));
    m_form->cbSearchNr->setFocus();
    m_form->cbSearchNr->lineEdit()->clear();
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Down);
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Down);
    QCOMPARE(m_form->cbSearchNr->currentText(), QStringLiteral("ABC1"));
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Return);
    QCOMPARE(m_form->currentSearchNr(), QStringLiteral("ABC1"));
    QCOMPARE(m_form->listboxSearch->lines(), QStringList{"X1"});
    QCOMPARE(m_form->cbSearchNr->history().entries(), (QStringList{"ВАЗ2108", "ABC1"}));
}

void TestSearchPanel::historySurvivesRestart()
{
    for (int i = 0; i < 21; ++i)
        search(*m_form, QStringLiteral("N%1").arg(i));
    m_form->close();
    m_form.reset();
    startForm();
    QStringList expected;
    for (int i = 20; i > 0; --i)
        expected << QStringLiteral("N%1").arg(i);
    QCOMPARE(m_form->cbSearchNr->history().entries(), expected);
    QCOMPARE(m_form->cbSearchNr->count(), 20);
    QCOMPARE(m_form->cbSearchNr->currentText(), QString());
}

void TestSearchPanel::choosingLineReopensPriceList()
{
    search(*m_form, QStringLiteral("1K0"));
    CrossList* list = m_form->listboxSearch;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(gridColumn(0), QStringList{"1K0-555"});
    QVERIFY(m_form->DBGridPartsPrice->hasFocus());
    QCOMPARE(m_form->lbFound->text(), QStringLiteral("Ok"));

    // A new rate shows when the same line is clicked again.
    SettingsRecord& settings = m_form->session().settings();
    settings.edit();
    settings.setValue(Tables::SettingsField::RATE_USD, 25.0);
    const QRect line = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    QCOMPARE(gridColumn(4), QStringList{regional("2.00")});
    settings.cancel();

    // A failing opening is answered by the error dialog; the grid stays empty.
    m_folder->exec("ALTER TABLE GROUPS RENAME TO OLDGROUPS");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QCOMPARE(m_shown.size(), 2);
    QCOMPARE(m_shown[1].kind, MessageBoxes::Kind::ErrorDialog);
    QVERIFY(!m_form->ADODataSetPartsPrice->isOpen());
}

void TestSearchPanel::typeAheadInList()
{
    search(*m_form, QStringLiteral("ВАЗ"));
    CrossList* list = m_form->listboxSearch;
    QCOMPARE(list->lines(), (QStringList{"Y7", "Y8"}));
    list->setFocus();
    typeText(list, QStringLiteral("y8"));
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(gridColumn(0), QStringList{"ВАЗ 2108"});
    // Choosing a line moves the focus to the grid.
    QVERIFY(m_form->DBGridPartsPrice->hasFocus());

    // "Y" is the beginning of line 0.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Backspace);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(gridColumn(0), QStringList{"ВАЗ 2101/1"});
}

void TestSearchPanel::backspaceInEmptyListDoesNothing()
{
    search(*m_form, QStringLiteral("Q"));
    m_form->listboxSearch->setFocus();
    QTest::keyClick(m_form->listboxSearch, Qt::Key_Backspace);
    QTest::keyClick(m_form->listboxSearch, Qt::Key_Down);
    QVERIFY(m_shown.isEmpty());
    QCOMPARE(m_form->listboxSearch->currentRow(), -1);
}

void TestSearchPanel::searchCanBeDisabled()
{
    search(*m_form, QStringLiteral("1K0"));
    m_form->setSearchEnabled(false);
    search(*m_form, QStringLiteral("ВАЗ"));
    QCOMPARE(m_form->listboxSearch->lines(), (QStringList{"X1", "X2"}));
    QCOMPARE(m_form->currentSearchNr(), QStringLiteral("1K0"));
    QCOMPARE(m_form->cbSearchNr->count(), 1);
    QVERIFY(!m_form->listboxSearch->isEnabled());
    m_form->listboxSearch->setCurrentRow(1);
    m_form->listboxSearchClick();
    QCOMPARE(gridColumn(0), (QStringList{"ABC-1", "1K0 129.620-D"}));

    m_form->setSearchEnabled(true);
    search(*m_form, QStringLiteral("ВАЗ"));
    QCOMPARE(m_form->listboxSearch->lines(), (QStringList{"Y7", "Y8"}));
}

void TestSearchPanel::missingPriceTableFailsEachSearch()
{
    m_form.reset();
    m_folder->exec("DROP TABLE PRICE");
    // The client starts; each search then fails with the engine's message.
    startForm();
    QVERIFY(m_shown.isEmpty());
    for (int attempt = 0; attempt < 2; ++attempt) {
        search(*m_form, QStringLiteral("1k0"));
        QCOMPARE(m_shown.size(), attempt + 1);
        QCOMPARE(m_shown.last().kind, MessageBoxes::Kind::ApplicationError);
        QCOMPARE(m_shown.last().text, QStringLiteral("no such table: PRICE."));
    }
}

QTEST_MAIN(TestSearchPanel)
#include "TestSearchPanel.moc"
