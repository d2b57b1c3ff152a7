#include "gui/search/PriceGrid.h"
#include "gui/shared/ActionManager.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QMimeData>
#include <QPrintPreviewDialog>
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

QTEST_MAIN(TestDocumentCommands)
#include "TestDocumentCommands.moc"
