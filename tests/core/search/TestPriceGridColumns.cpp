#include "core/search/PriceGridColumns.h"
#include "support/DecimalSeparator.h"

#include <QTest>

class TestPriceGridColumns : public QObject
{
    Q_OBJECT

private slots:
    void titleAndText_data();
    void titleAndText();
};

void TestPriceGridColumns::titleAndText_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("part number") << 0 << "Код товара"
                                 << "0 986/45";
    QTest::newRow("name") << 1 << "Наименование"
                          << "Фильтр";
    QTest::newRow("input price rounded") << 2 << "Вход" << regional("94.05");
    QTest::newRow("whole retail price with decimals") << 3 << "Розница UAH" << regional("99.00");
    QTest::newRow("dollars to two decimals") << 4 << "Розница USD" << regional("2.48");
    QTest::newRow("empty euros") << 5 << "Розница EUR"
                                 << "";
    QTest::newRow("first warehouse") << 6 << "Скл №1"
                                     << "12";
    QTest::newRow("zero stock") << 7 << "Скл №2"
                                << "0";
    QTest::newRow("empty stock") << 14 << "Скл №9"
                                 << "";
}

void TestPriceGridColumns::titleAndText()
{
    QFETCH(int, column);
    QFETCH(QString, title);
    QFETCH(QString, text);
    PriceRow row;
    row.partNumber = "0 986/45";
    row.partName = "Фильтр";
    row.vhod = 94.05;
    row.price = 99;
    row.priceUsd = 2.475;
    row.stock[0] = 12;
    row.stock[1] = 0;
    QCOMPARE(PriceGridColumns::title(column), title);
    QCOMPARE(PriceGridColumns::text(row, column), text);
}

QTEST_GUILESS_MAIN(TestPriceGridColumns)
#include "TestPriceGridColumns.moc"
