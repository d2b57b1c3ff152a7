#include "document/Quote.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QFile>
#include <QPageLayout>
#include <QProcess>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

class TestQuote : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfShowsRetailOnly_data();
    void pdfShowsRetailOnly();
    void nothingFound();
    void numbersStayWhole_data();
    void numbersStayWhole();

private:
    int quote(const QString& number, const QString& fileName, QString* out = nullptr);

    ClientFolder m_folder;
};

void TestQuote::initTestCase()
{
    // Rates 41.25 and 48.10 come with init; a 7 % discount makes dealer
    // prices that no retail figure, rate or date can contain.
    m_folder.exec("UPDATE SETTINGS SET PRICE_DATE = '2024-03-05'");
    m_folder.exec("INSERT INTO GROUPS VALUES ('D7', 'Диски', 7)");
    m_folder.exec("INSERT INTO PRICE VALUES"
                  "('D7', 'BRK-101', 'BRK101', 'Колодки', 'Q1', 123.45, 0, 0, 0, 2, 0, 0, 0, 0, 0),"
                  "('D7', 'BRK-102', 'BRK102', 'Колодки', 'Q1', 210.10, 0, 0, 0, 0, 0, 0, 0, 0, 0),"
                  "('D7', 'brk 103', 'brk103', 'Диск', 'Q1', 377.77, 0, 0, 0, 0, 0, 0, 0, 0, 1),"
                  "('D7', 'ZZ-1', 'ZZ1', 'Другая группа', 'Q2', 999.99, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
}

int TestQuote::quote(const QString& number, const QString& fileName, QString* out)
{
    const AdminRun run = AdminRun::of({"quote", m_folder.path(), number, fileName});
    if (out)
        *out = run.out;
    return run.status;
}

void TestQuote::pdfShowsRetailOnly_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");

    const QStringList always{"ООО «Автомаркет Запад»",
                             "г. Львов, ул. Городоцкая, 174",
                             "zakaz@avtomarket-zapad.com.ua",
                             "Номер: brk-10",
                             "05.03.2024",
                             "BRK-101",
                             "BRK-102",
                             "brk 103",
                             regional("123.45"),
                             regional("210.10"),
                             regional("377.77"),
                             "UAH",
                             "есть",
                             "под заказ",
                             QDate::currentDate().toString("dd.MM.yyyy")};
    const QStringList never{regional("114.81"), regional("195.39"), regional("351.33"), "Вход", "Скл", "ZZ-1",
                            regional("999.99")};
    const QStringList dollars{"USD", regional("2.99"), regional("5.09"), regional("9.16"), regional("41.25")};
    const QStringList euros{"EUR", regional("2.57"), regional("4.37"), regional("7.85"), regional("48.10")};
    QTest::newRow("optional columns hidden") << QByteArray() << always << never + dollars + euros;
    QTest::newRow("dollars, euros, dealer price and a warehouse shown")
        << QByteArray("[PRICE]\nShowUS=1\nShowEU=1\nShowVhod=1\nShowWH3=1\n") << always + dollars + euros
        << never;
    QTest::newRow("euros only") << QByteArray("[price]\nShowEU=1\n") << always + euros << never + dollars;
}

void TestQuote::pdfShowsRetailOnly()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);

    m_folder.writeFile(m_folder.iniFileName(), ini);
    const QString pdf = m_folder.filePath("quote.pdf");
    QCOMPARE(quote("brk-10", pdf), 0);

    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    QVERIFY(pdftotext.waitForFinished());
    QCOMPARE(pdftotext.exitCode(), 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const QString& expected : shown)
        QVERIFY2(text.contains(expected), qPrintable(expected + " missing in:\n" + text));
    for (const QString& unexpected : absent)
        QVERIFY2(!text.contains(unexpected), qPrintable(unexpected + " present in:\n" + text));
}

void TestQuote::nothingFound()
{
    const QString pdf = m_folder.filePath("none.pdf");
    QString out;
    QCOMPARE(quote("X-1", pdf, &out), 1);
    QCOMPARE(out, "не найден\n");
    QVERIFY(!QFile::exists(pdf));
}

void TestQuote::numbersStayWhole_data()
{
    QTest::addColumn<bool>("currencies"); // two more price columns narrow the name's
    QTest::addColumn<QString>("number");  // beside BRK-101
    QTest::addColumn<QString>("name");

    const QString number = QStringLiteral("0 986-506-596-0080-J");
    const QString longName = QStringLiteral("Свеча накаливания дизельного двигателя с керамическим стержнем "
                                            "и быстрым нагревом для легковых автомобилей");
    QTest::newRow("long name") << false << number << longName;
    QTest::newRow("long name, dollars and euros") << true << number << longName;
    QTest::newRow("widest number, word wider than the name column")
        << true << QString(22, QLatin1Char('W')) << QString(60, QLatin1Char('W'));
}

void TestQuote::numbersStayWhole()
{
    QFETCH(bool, currencies);
    QFETCH(QString, number);
    QFETCH(QString, name);
    Quote quote;
    quote.showUsd = quote.showEur = currencies;
    for (const QString& partNumber : {QStringLiteral("BRK-101"), number}) {
        quote.rows.emplace_back();
        quote.rows.back().partNumber = partNumber;
        quote.rows.back().partName = name;
    }
    const std::unique_ptr<QTextDocument> document = quote.document(Quote::pdfPage());
    QVERIFY(document->size().width() <= document->pageSize().width());
    QTextTable* table = nullptr;
    for (QTextFrame* frame : document->rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable*>(frame);
    QVERIFY(table);
    const auto block = [&](int row, int column) {
        return table->cellAt(row, column).firstCursorPosition().block();
    };
    for (int row = 1; row < table->rows(); ++row) {
        QCOMPARE(block(row, 0).layout()->lineCount(), 1);
        // Broken after a blank, or inside a word only where it has no blank to break at.
        const QTextBlock nameBlock = block(row, 1);
        QTextLayout* layout = nameBlock.layout();
        QVERIFY(layout->lineCount() > 1);
        for (int i = 0; i + 1 < layout->lineCount(); ++i) {
            const QString line =
                nameBlock.text().mid(layout->lineAt(i).textStart(), layout->lineAt(i).textLength());
            QVERIFY2(line.endsWith(QLatin1Char(' ')) || !line.contains(QLatin1Char(' ')), qPrintable(line));
        }
    }
}

QTEST_MAIN(TestQuote)
#include "TestQuote.moc"
