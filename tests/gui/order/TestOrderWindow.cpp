#include "core/storage/OrderStorage.h"
#include "core/storage/PriceRow.h"
#include "gui/order/OrderWindow.h"
#include "gui/search/PriceGrid.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrlQuery>

class TestOrderWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void insInGridAddsToOrderWindow();
    void otherClientsChangeShowsOnF5AndDelRemoves();
    void sendOpensMailOrOffersSaving();

private:
    QStringList orderColumn(int column) const
    {
        return columnTexts(m_form->FormOrder->gridOrder->model(), column);
    }

    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

void TestOrderWindow::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0), ('G10', 'Десять', 10);"
                   "INSERT INTO PRICE VALUES"
                   " ('G10', '1K0 129.620-D', '1K0129620D', 'Фильтр', 'X1', 100, 0, 0, 0, 0, 0, 0, 0, 0, 9),"
                   " ('G0', 'ABC-1', 'ABC1', 'Фильтр малый', 'X1', 80, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
    answerMessageBoxes();
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

void TestOrderWindow::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    OrderWindow::setUrlOpener({});
    m_folder.reset();
}

void TestOrderWindow::insInGridAddsToOrderWindow()
{
    m_form->actions().actionPriceFieldWH[8]->trigger();
    search(*m_form, "1k0");
    PriceGrid* grid = m_form->DBGridPartsPrice;
    QTRY_VERIFY(grid->hasFocus());
    // Rows come cheapest first: ABC-1, then the part of group G10.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QTest::keyClick(grid, Qt::Key_Insert);
    QTest::keyClick(grid, Qt::Key_Insert);
    // Neither in the search box nor in the cell editor.
    m_form->cbSearchNr->setFocus();
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Insert);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    QTRY_VERIFY(!grid->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    m_form->actions().actionOrder->trigger();
    QVERIFY(m_form->FormOrder->isVisible());
    QVERIFY(m_form->isVisible());
    QCOMPARE(orderColumn(0), QStringList{"1K0 129.620-D"});
    QCOMPARE(orderColumn(3), QStringList{"2"});
    QCOMPARE(orderColumn(4), QStringList{regional("90.00")});
    QCOMPARE(orderColumn(5), QStringList{regional("180.00")});
    QCOMPARE(orderColumn(6), QStringList{"9"}); // the one warehouse the grid shows
    QCOMPARE(m_form->FormOrder->lbTotal->text(), "Итого: 2 шт., " + regional("180.00"));
    QVERIFY(m_shown.isEmpty());

    // While the window is open, the next Ins shows at once.
    grid->setCurrentIndex(grid->model()->index(0, 0));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    QCOMPARE(orderColumn(0), (QStringList{"1K0 129.620-D", "ABC-1"}));

    // No price list, no current row: nothing to add.
    search(*m_form, "zzz");
    QVERIFY(!m_form->actions().actionAddToOrder->isEnabled());
}

void TestOrderWindow::otherClientsChangeShowsOnF5AndDelRemoves()
{
    m_form->actions().actionOrder->trigger();
    OrderWindow* window = m_form->FormOrder;
    QCOMPARE(window->gridOrder->model()->rowCount(), 0);
    {
        const std::unique_ptr<Storage> other = m_folder->openStorage();
        PriceRow part;
        part.groupCode = "G0";
        part.partNumber = "ABC-1";
        part.shortPartNumber = "ABC1";
        part.partName = "Фильтр малый";
        other->order().add(part, 3);
        part.partNumber = "GONE-1";
        part.shortPartNumber = "GONE1";
        other->order().add(part, 1);
    }
    QCOMPARE(window->gridOrder->model()->rowCount(), 0);
    QApplication::setActiveWindow(window);
    QVERIFY(window->isActiveWindow());
    QTest::keyClick(window->gridOrder, Qt::Key_F5);
    QCOMPARE(orderColumn(0), (QStringList{"ABC-1", "GONE-1"}));
    QCOMPARE(orderColumn(4), (QStringList{regional("80.00"), "снято"}));
    QCOMPARE(window->lbTotal->text(), "Итого: 3 шт., " + regional("240.00"));

    // Del while a quantity is edited belongs to the editor.
    window->gridOrder->setFocus();
    window->gridOrder->setCurrentIndex(window->gridOrder->model()->index(0, 3));
    QTest::keyClick(window->gridOrder, Qt::Key_F2);
    QTRY_VERIFY(!window->gridOrder->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(window->gridOrder->hasFocus());
    QCOMPARE(window->gridOrder->model()->rowCount(), 2);
    QTest::keyClick(window->gridOrder, Qt::Key_Delete);
    QCOMPARE(orderColumn(0), QStringList{"GONE-1"});
    QCOMPARE(window->lbTotal->text(), "Итого: 0 шт., " + regional("0.00"));
}

void TestOrderWindow::sendOpensMailOrOffersSaving()
{
    QUrl opened;
    bool opens = true;
    OrderWindow::setUrlOpener([&](const QUrl& url) {
        opened = url;
        return opens;
    });
    search(*m_form, "abc");
    m_form->actions().actionAddToOrder->trigger();
    m_form->actions().actionOrder->trigger();
    m_form->FormOrder->btnSend->click();
    QCOMPARE(opened.path(), "price@velmora.ua");
    const QUrlQuery query(opened);
    QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded),
             "Заказ ООО «Автомаркет Запад» от " + QDate::currentDate().toString("dd.MM.yyyy"));
    QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded),
             "1. ABC-1 (G0) Фильтр малый: 1 x " + regional("80.00 = 80.00") + "\r\nИтого: 1 шт., " +
                 regional("80.00") + "\r\n");
    QVERIFY(m_shown.isEmpty());

    opens = false;
    // Not saved: no file dialog opens.
    answerNext(MessageBoxes::Answer::No);
    m_form->FormOrder->btnSend->click();
    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown[0].kind, MessageBoxes::Kind::Confirmation);
    QVERIFY2(m_shown[0].text.contains("Сохранить заказ в файл?"), qPrintable(m_shown[0].text));
}

QTEST_MAIN(TestOrderWindow)
#include "TestOrderWindow.moc"
