#include "core/sqlite/ClientFiles.h"
#include "gui/main/TFormMain.h"
#include "gui/search/PriceGrid.h"
#include "gui/search/SearchBox.h"
#include "gui/shared/ActionManager.h"
#include "gui/shared/MessageBoxes.h"
#include "support/DecimalSeparator.h"

#include <SQLiteCpp/Database.h>

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The quote and the copy of the price list, from the main window's commands.
class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void offWhileNoPriceListShown();
    void copyKeepsShownColumnsInTheirOrder();
    void quoteOpensPrintPreview();

private:
    void search(const QString& typed);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TFormMain> m_form;
};

void TestDocumentCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ClientFiles::create(m_dir->path());
    {
        SQLite::Database db(ClientFiles::databaseFileName(m_dir->path()).toStdString(),
                            SQLite::OPEN_READWRITE);
        db.exec("INSERT INTO GROUPS VALUES ('G10', 'Десять', 10);"
                "INSERT INTO PRICE VALUES"
                " ('G10', 'A&B-1', 'AB1', 'Фильтр <малый>', 'X1', 80, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                " ('G10', 'AB-2', 'AB2', 'Фильтр\tбольшой', 'X1', 100, 0, 5, 0, 0, 0, 0, 0, 0, 0)");
    }
    MessageBoxes::setHandler([](const MessageBoxes::Shown& shown) {
        qWarning() << "unexpected message box:" << shown.text;
        return MessageBoxes::Answer::Ok;
    });
    m_form = std::make_unique<TFormMain>(m_dir->path());
    QVERIFY(m_form->isInitialized());
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestDocumentCommands::cleanup()
{
    m_form.reset();
    MessageBoxes::setHandler({});
}

void TestDocumentCommands::search(const QString& typed)
{
    m_form->cbSearchNr->setFocus();
    m_form->cbSearchNr->setEditText(typed);
    QTest::keyClick(m_form->cbSearchNr, Qt::Key_Return);
}

void TestDocumentCommands::offWhileNoPriceListShown()
{
    const ActionManager& actions = m_form->actions();
    QVERIFY(!actions.actionQuote->isEnabled());
    QVERIFY(!actions.actionCopyTable->isEnabled());
    search("ab");
    QVERIFY(actions.actionQuote->isEnabled());
    QVERIFY(actions.actionCopyTable->isEnabled());
    search("zz");
    QVERIFY(!actions.actionQuote->isEnabled());
    QVERIFY(!actions.actionCopyTable->isEnabled());
}

void TestDocumentCommands::copyKeepsShownColumnsInTheirOrder()
{
    m_form->actions().ActionPriceUSView->trigger();
    m_form->actions().actionPriceFieldWH[1]->trigger();
    search("ab");
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
    search("ab");
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
