#include "core/storage/OrderStorage.h"
#include "core/storage/SettingsRecord.h"
#include "gui/order/OrderWindow.h"
#include "gui/search/PriceGrid.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

// The quote and the copy of the price list, from the main window's commands.
class TestDocumentCommands : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void offWhileNoPriceListShown();
    void copyKeepsShownColumnsInTheirOrder();
    void quoteOpensPrintPreview();
    void savedRateReopensPriceList();
    void addToOrderSaysWhatItDid();
    void orderLineShowsItsPart();

private:
    std::unique_ptr<ClientFolder> m_folder;
    std::unique_ptr<TFormMain> m_form;
};

void TestDocumentCommands::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO GROUPS VALUES ('G10', 'Десять', 10);"
                   "INSERT INTO PRICE VALUES"
                   " ('G10', 'A&B-1', 'AB1', 'Фильтр <малый>', 'X1', 80, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                   " ('G10', 'AB-2', 'AB2', 'Фильтр\tбольшой', 'X1', 100, 0, 5, 0, 0, 0, 0, 0, 0, 0)");
    answerMessageBoxes();
    m_form = startWindow(m_folder->path());
    QVERIFY(m_form);
}

void TestDocumentCommands::cleanup()
{
    m_form.reset();
    stopAnsweringMessageBoxes();
    m_folder.reset();
    // None of these cases expects a message box.
    QCOMPARE(shownTexts(), QStringList());
}

void TestDocumentCommands::offWhileNoPriceListShown()
{
    const ActionManager& actions = m_form->actions();
    QVERIFY(!actions.actionQuote->isEnabled());
    QVERIFY(!actions.actionCopyTable->isEnabled());
    search(*m_form, "ab");
    QVERIFY(actions.actionQuote->isEnabled());
    QVERIFY(actions.actionCopyTable->isEnabled());
    search(*m_form, "zz");
    QVERIFY(!actions.actionQuote->isEnabled());
    QVERIFY(!actions.actionCopyTable->isEnabled());
}

void TestDocumentCommands::copyKeepsShownColumnsInTheirOrder()
{
    m_form->actions().ActionPriceUSView->trigger();
    m_form->actions().actionPriceFieldWH[1]->trigger();
    search(*m_form, "ab");
    // The clerk dragged the dollar price in front of the name.
    QHeaderView* titles = m_form->DBGridPartsPrice->horizontalHeader();
    titles->moveSection(titles->visualIndex(4), 1);
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(m_form.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));

    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(copied->text(), "Код товара\tРозница USD\tНаименование\tРозница UAH\tСкл №2\n" +
                                 regional("A&B-1\t1.94\tФильтр <малый>\t80.00\t0\n"
                                          "AB-2\t2.42\tФильтр большой\t100.00\t5\n"));
    const QString html = copied->html();
    QVERIFY2(html.contains("<th>Код товара</th><th>Розница USD</th><th>Наименование</th>"), qPrintable(html));
    QVERIFY2(html.contains(
                 regional("<td>A&amp;B-1</td><td align=\"right\">1.94</td><td>Фильтр &lt;малый&gt;</td>")),
             qPrintable(html));
    QCOMPARE(html.count("<tr>"), 3);
}

void TestDocumentCommands::quoteOpensPrintPreview()
{
    search(*m_form, "ab");
    bool previewed = false;
    QTimer::singleShot(0, m_form.get(), [&] {
        auto* preview = m_form->findChild<QPrintPreviewDialog*>("dlgQuotePreview");
        previewed = preview && preview->isVisible();
        if (preview)
            preview->reject();
    });
    m_form->actions().actionQuote->trigger();
    QVERIFY(previewed);
}

// The grid, the copy and the quote show prices at the rates saved last, on the same row.
void TestDocumentCommands::savedRateReopensPriceList()
{
    m_form->actions().ActionPriceUSView->trigger();
    search(*m_form, "ab");
    m_form->DBGridPartsPrice->setCurrentIndex(m_form->DBGridPartsPrice->model()->index(1, 0));
    SettingsRecord& settings = m_form->session().settings();
    settings.edit();
    settings.setValue(Tables::SettingsField::RATE_USD, 50.0);
    settings.post();
    QCOMPARE(columnTexts(m_form->DBGridPartsPrice->model(), 4),
             (QStringList{regional("1.60"), regional("2.00")}));
    QCOMPARE(m_form->DBGridPartsPrice->currentIndex().row(), 1);
    m_form->actions().actionCopyTable->trigger();
    QVERIFY(QGuiApplication::clipboard()->text().contains(regional("\t1.60\n")));
}

void TestDocumentCommands::addToOrderSaysWhatItDid()
{
    search(*m_form, "ab");
    QTest::keyClick(m_form->DBGridPartsPrice, Qt::Key_Insert);
    QTest::keyClick(m_form->DBGridPartsPrice, Qt::Key_Insert);
    QCOMPARE(m_form->StatusBar1->currentMessage(), QStringLiteral("В заказе: A&B-1 — 2 шт."));
    // Ins in an open menu is the menu's, not the grid's.
    m_form->PopupActionPriceParts->popup(m_form->DBGridPartsPrice->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(m_form->PopupActionPriceParts));
    QTest::keyClick(m_form->PopupActionPriceParts, Qt::Key_Insert);
    QTest::keyClick(m_form->DBGridPartsPrice, Qt::Key_Insert);
    m_form->PopupActionPriceParts->close();
    const std::vector<OrderStorage::Line> lines = m_folder->openStorage()->order().lines();
    QCOMPARE(lines.size(), size_t(1));
    QCOMPARE(lines.front().quantity, 2);
}

// A line of the order shows its own part in the grid, not the cheapest of its group.
void TestDocumentCommands::orderLineShowsItsPart()
{
    search(*m_form, "ab-2");
    QTest::keyClick(m_form->DBGridPartsPrice, Qt::Key_Insert);
    search(*m_form, "zz");
    m_form->actions().actionOrder->trigger();
    QTableView* lines = m_form->FormOrder->gridOrder;
    lines->setCurrentIndex(lines->model()->index(0, 0));
    QTest::keyClick(lines, Qt::Key_Return);
    QCOMPARE(m_form->currentSearchNr(), QStringLiteral("AB2"));
    QCOMPARE(m_form->DBGridPartsPrice->currentIndex().row(), 1);
    m_form->FormOrder->close();
}

QTEST_MAIN(TestDocumentCommands)
#include "TestDocumentCommands.moc"
