#include "core/search/PriceGridColumns.h"
#include "core/sqlite/DatabaseLock.h"
#include "gui/search/CrossList.h"
#include "gui/search/NameSearchModel.h"
#include "gui/search/NameSearchWindow.h"
#include "gui/search/PriceGrid.h"
#include "gui/search/PriceListModel.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

// "Поиск по названию" driven as the clerk drives it, over a list loaded
// without a name index, which the window builds when first opened.
class TestNameSearchWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typing_data();
    void typing();
    void choosingShowsPartInMainWindow_data();
    void choosingShowsPartInMainWindow();
    void indexBuiltOnceForListWithout();
    void refusedBuildShownAndMainSearchGoesOn();
    void updateSearchesAgainInNewList();

private:
    void openWindow();
    // Types into the field and waits for the line under the table to say something new.
    void typeAndWait(const QString& typed);
    QString status() const { return m_window->findChild<QLabel*>(QStringLiteral("lbNameFound"))->text(); }

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
    QWidget* m_window = nullptr;
    QLineEdit* m_field = nullptr;
    QTableView* m_table = nullptr;
};

void TestNameSearchWindow::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO GROUPS VALUES ('G0', 'Тормоза', 0), ('G1', 'Ходовая', 10);"
                   "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE,"
                   " WH0, WH3) VALUES"
                   " ('G0', 'KP-1', 'KP1', 'Колодки передние Ланос', 'X1', 100, 2, 5),"
                   " ('G0', 'KP-2', 'KP2', 'Колодки задние Ланос', 'X1', 90, NULL, NULL),"
                   " ('G0', 'KP-3', 'KP3', 'Колодки без замены', NULL, 80, 0, NULL),"
                   " ('G1', 'KP-2', 'KP2', 'Колодки Сенс', 'Z9', 70, NULL, 1)");
    answerMessageBoxes();
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

void TestNameSearchWindow::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

void TestNameSearchWindow::openWindow()
{
    m_form->actions().actionFindByName->trigger();
    m_window = m_form->findChild<QWidget*>(QStringLiteral("FormNameSearch"));
    QVERIFY(m_window && m_window->isVisible());
    m_field = m_window->findChild<QLineEdit*>(QStringLiteral("edNameSearch"));
    m_table = m_window->findChild<QTableView*>(QStringLiteral("DBGridNameSearch"));
    QTRY_COMPARE(status(), QStringLiteral("Введите не менее двух букв или цифр"));
}

void TestNameSearchWindow::typeAndWait(const QString& typed)
{
    m_field->setFocus();
    m_field->clear();
    const QString before = status();
    typeText(m_field, typed);
    // The field takes every key at once; the table follows after the pause.
    QCOMPARE(m_field->text(), typed);
    QTRY_VERIFY(status() != before || typed.isEmpty());
}

void TestNameSearchWindow::typing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("first"); // every column of the first row, "|" between

    QTest::newRow("words in any order, by name")
        << "ланос кол"
        << "Найдено: 2" << QStringList{"KP-2", "KP-1"} << "KP-2|Колодки задние Ланос|Тормоза|90.00|";
    QTest::newRow("retail price as the grid writes it, stock of all warehouses")
        << "ПЕРЕДНИЕ"
        << "Найдено: 1" << QStringList{"KP-1"} << "KP-1|Колодки передние Ланос|Тормоза|100.00|7";
    QTest::newRow("group's own name, a zero stock counts")
        << "колодки без з"
        << "Найдено: 1" << QStringList{"KP-3"} << "KP-3|Колодки без замены|Тормоза|80.00|0";
    QTest::newRow("one letter only: nothing searched")
        << "к"
        << "Введите не менее двух букв или цифр" << QStringList() << "";
    QTest::newRow("nothing found") << "барабан"
                                   << "Найдено: 0" << QStringList() << "";
}

void TestNameSearchWindow::typing()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(QStringList, parts);
    QFETCH(QString, first);

    openWindow();
    // An earlier answer is replaced, whatever it was.
    typeAndWait(QStringLiteral("колодки"));
    QCOMPARE(status(), QStringLiteral("Найдено: 4"));

    m_field->clear();
    typeText(m_field, typed);
    QTRY_COMPARE(status(), line);
    QCOMPARE(columnTexts(m_table->model(), NameSearchModel::PartNumber), parts);
    QStringList row;
    for (int column = 0; column < NameSearchModel::ColumnCount && !parts.isEmpty(); ++column)
        row << m_table->model()->index(0, column).data().toString();
    QCOMPARE(row.join(QLatin1Char('|')), regional(first));
    QVERIFY(m_shown.isEmpty());
}

void TestNameSearchWindow::choosingShowsPartInMainWindow_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how"); // "enter" in the field, "table" Enter, "double click"
    QTest::addColumn<QString>("searchBox");
    QTest::addColumn<QString>("cross");
    QTest::addColumn<QString>("currentPart"); // PARTNUMBER and the group's discount in the input price
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("Enter in the field") << "передние"
                                        << "enter"
                                        << "KP1"
                                        << "X1"
                                        << "KP-1|100.00" << QStringList();
    QTest::newRow("the part's own cross number among several")
        << "сенс"
        << "table"
        << "KP2"
        << "Z9"
        << "KP-2|63.00" << QStringList{"Имеется несколько замен"};
    QTest::newRow("the part of the first cross number, by double click")
        << "задние ланос"
        << "double click"
        << "KP2"
        << "X1"
        << "KP-2|90.00" << QStringList{"Имеется несколько замен"};
    QTest::newRow("no cross number: the main window untouched")
        << "без замены"
        << "enter"
        << ""
        << ""
        << "" << QStringList{"У позиции нет номера замены"};
}

void TestNameSearchWindow::choosingShowsPartInMainWindow()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, searchBox);
    QFETCH(QString, cross);
    QFETCH(QString, currentPart);
    QFETCH(QStringList, boxes);

    openWindow();
    typeAndWait(typed);
    QCOMPARE(status(), QStringLiteral("Найдено: 1"));
    if (how == QLatin1String("enter")) {
        QTest::keyClick(m_field, Qt::Key_Return);
    } else if (how == QLatin1String("table")) {
        m_table->setFocus();
        QTest::keyClick(m_table, Qt::Key_Return);
    } else {
        const QRect cell = m_table->visualRect(m_table->model()->index(0, NameSearchModel::PartName));
        // QTest's double click is the second click alone: the first press comes before it.
        QTest::mousePress(m_table->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(m_table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    QCOMPARE(shownTexts(), boxes);
    QCOMPARE(m_form->cbSearchNr->currentText(), searchBox);
    const QListWidgetItem* line = m_form->listboxSearch->currentItem();
    QCOMPARE(line ? line->text() : QString(), cross);
    const QModelIndex current = m_form->DBGridPartsPrice->currentIndex();
    const QString shown =
        current.isValid()
            ? m_form->ADODataSetPartsPrice->rows()[size_t(current.row())].partNumber + '|' +
                  m_form->ADODataSetPartsPrice->index(current.row(), PriceGridColumns::Vhod).data().toString()
            : QString();
    QCOMPARE(shown, regional(currentPart));
}

void TestNameSearchWindow::indexBuiltOnceForListWithout()
{
    QVERIFY(!m_folder->openStorage()->names().isBuilt());
    openWindow();
    QVERIFY(m_folder->openStorage()->names().isBuilt());
    QVERIFY(!m_window->findChild<QProgressBar*>(QStringLiteral("pbNameIndex"))->isVisible());
    QVERIFY(m_field->isEnabled());
    QVERIFY(m_shown.isEmpty());
}

void TestNameSearchWindow::refusedBuildShownAndMainSearchGoesOn()
{
    // Another client on the folder: the list cannot be replaced meanwhile.
    auto other = ShopStorage::open(m_folder->path(), ShopStorage::Access::Shared);
    m_form->actions().actionFindByName->trigger();
    m_window = m_form->findChild<QWidget*>(QStringLiteral("FormNameSearch"));
    QTRY_VERIFY(status().endsWith(DatabaseLock::refusalMessage()));
    QVERIFY(m_shown.isEmpty());
    // Not asked again on every key.
    m_field = m_window->findChild<QLineEdit*>(QStringLiteral("edNameSearch"));
    typeText(m_field, QStringLiteral("колодки"));
    QTest::qWait(3 * NameSearchWindow::kTypingPauseMs);
    QVERIFY(status().endsWith(DatabaseLock::refusalMessage()));

    search(*m_form, QStringLiteral("kp1"));
    QCOMPARE(m_form->listboxSearch->lines(), QStringList{"X1"});

    other.reset();
    m_window->close();
    m_form->actions().actionFindByName->trigger();
    QTRY_COMPARE(status(), QStringLiteral("Найдено: 4"));
    QVERIFY(m_folder->openStorage()->names().isBuilt());
}

void TestNameSearchWindow::updateSearchesAgainInNewList()
{
    openWindow();
    typeAndWait(QStringLiteral("колодки"));
    QCOMPARE(status(), QStringLiteral("Найдено: 4"));
    m_folder->writeFile(QStringLiteral("import.txt"),
                        "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE\n"
                        "G0;N-1;N1;Колодки новые;X1;10\n"
                        "G0;N-2;N2;Диск;X1;10\n");
    m_folder->writeFile(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nG0;Тормоза;0\n");

    bool seen = false, fieldEnabled = true;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        if (!seen && m_form->findChild<QWidget*>(QStringLiteral("formWait"))) {
            seen = true;
            fieldEnabled = m_field->isEnabled();
        }
    });
    probe.start(0);
    answerNext(MessageBoxes::Answer::Yes);
    m_form->actions().actionUpdatePrice->trigger();
    QVERIFY(seen);
    QVERIFY(!fieldEnabled);
    QVERIFY(m_field->isEnabled());
    QTRY_COMPARE(status(), QStringLiteral("Найдено: 1"));
    QCOMPARE(columnTexts(m_table->model(), NameSearchModel::PartNumber), QStringList{"N-1"});
}

QTEST_MAIN(TestNameSearchWindow)
#include "TestNameSearchWindow.moc"
