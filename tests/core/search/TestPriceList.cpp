#include "core/search/PriceGridColumns.h"
#include "core/storage/PriceCatalogue.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QTest>

#include <memory>

// The price list of one cross number: every part of it whose group exists,
// with the retail price in dollars and euros and the input price after the
// group discount, cheapest input price first.
class TestPriceList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void computesInFloatingPoint_data();
    void computesInFloatingPoint();
    void joinsAndOrders();
    void amountsToTheKopeck_data();
    void amountsToTheKopeck();

private:
    void part(const char* group, const char* number, const char* cross, const char* price);
    std::vector<PriceRow> priceList(const QString& cross, double rateUsd, double rateEur)
    {
        return m_folder->storage().catalogue().priceList(cross, {rateUsd, rateEur});
    }
    QStringList numbers(const QString& cross);

    std::unique_ptr<ClientFolder> m_folder;
};

void TestPriceList::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec(
        "INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0), ('G5', 'Пять', 5), ('G30', 'Тридцать', 30),"
        "('GN', 'Без значения', NULL), ('ГР', 'Кириллица', 10), ('G15', 'Пятнадцать', 15), ('G3', 'Три', 3)");
}

void TestPriceList::cleanup()
{
    m_folder.reset();
}

// price is SQL text, so that "99" goes in as the integer a loaded whole price becomes.
void TestPriceList::part(const char* group, const char* number, const char* cross, const char* price)
{
    const auto quoted = [](const char* text) { return ClientFolder::quoted(QString::fromUtf8(text)); };
    m_folder->exec(
        "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE, WH0, "
        "WH8) VALUES (" +
        quoted(group) + ", " + quoted(number) + ", " + quoted(number) + ", 'Деталь', " + quoted(cross) +
        ", " + price + ", 3, NULL)");
}

QStringList TestPriceList::numbers(const QString& cross)
{
    QStringList result;
    for (const PriceRow& row : priceList(cross, 40, 50))
        result << row.partNumber;
    return result;
}

void TestPriceList::computesInFloatingPoint_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QByteArray>("price");
    QTest::addColumn<double>("rateUsd");
    QTest::addColumn<double>("rateEur");
    QTest::addColumn<QVariant>("vhod");
    QTest::addColumn<QVariant>("usd");
    QTest::addColumn<QVariant>("eur");
    QTest::newRow("whole price with a discount") << QByteArray("G5") << QByteArray("99") << 40.0 << 50.0
                                                 << QVariant(94.05) << QVariant(2.475) << QVariant(1.98);
    QTest::newRow("whole price divided by a whole rate")
        << QByteArray("G0") << QByteArray("99") << 2.0 << 4.0 << QVariant(99.0) << QVariant(49.5)
        << QVariant(24.75);
    QTest::newRow("fractional price") << QByteArray("G30") << QByteArray("10.5") << 41.25 << 48.1
                                      << QVariant(7.35) << QVariant(10.5 / 41.25) << QVariant(10.5 / 48.1);
    QTest::newRow("zero rates give empty values")
        << QByteArray("G5") << QByteArray("99") << 0.0 << 0.0 << QVariant(94.05) << QVariant() << QVariant();
    QTest::newRow("empty price") << QByteArray("G5") << QByteArray("NULL") << 40.0 << 50.0 << QVariant()
                                 << QVariant() << QVariant();
    QTest::newRow("empty discount") << QByteArray("GN") << QByteArray("99") << 40.0 << 50.0 << QVariant()
                                    << QVariant(2.475) << QVariant(1.98);
    QTest::newRow("group code in other case") << QByteArray("g5") << QByteArray("99") << 40.0 << 50.0
                                              << QVariant(94.05) << QVariant(2.475) << QVariant(1.98);
    QTest::newRow("cyrillic group code in small letters")
        << QByteArray("гр") << QByteArray("20") << 40.0 << 50.0 << QVariant(18.0) << QVariant(0.5)
        << QVariant(0.4);
}

void TestPriceList::computesInFloatingPoint()
{
    QFETCH(QByteArray, group);
    QFETCH(QByteArray, price);
    QFETCH(double, rateUsd);
    QFETCH(double, rateEur);
    QFETCH(QVariant, vhod);
    QFETCH(QVariant, usd);
    QFETCH(QVariant, eur);
    part(group.constData(), "P1", "X1", price.constData());
    const std::vector<PriceRow> rows = priceList("X1", rateUsd, rateEur);
    QCOMPARE(rows.size(), size_t(1));
    const auto check = [](const std::optional<double>& actual, const QVariant& expected) {
        QCOMPARE(actual.has_value(), expected.isValid());
        if (actual)
            QVERIFY2(qFuzzyCompare(*actual, expected.toDouble()),
                     qPrintable(QString::number(*actual, 'g', 17)));
    };
    check(rows[0].vhod, vhod);
    check(rows[0].priceUsd, usd);
    check(rows[0].priceEur, eur);
    QCOMPARE(rows[0].groupCode, QString::fromUtf8(group));
    QCOMPARE(rows[0].stock[0], std::optional<qint64>(3));
    QCOMPARE(rows[0].stock[8], std::optional<qint64>());
}

void TestPriceList::joinsAndOrders()
{
    part("G0", "CHEAP", "X1", "10");
    part("G30", "DISCOUNTED", "x1", "20"); // 14, cross in small letters
    part("G5", "TIE-FIRST", "X1", "16");   // 15.2
    part("G404", "MISSING-GROUP", "X1", "1");
    part("NOPE", "MISSING-GROUP2", "X1", "1");
    part("G5", "TIE-SECOND", "X1", "16"); // 15.2, entered later
    part("G0", "OTHER-CROSS", "X2", "1");
    part("G0", "LONGER-CROSS", "X10", "1");
    part("GN", "EMPTY-VHOD", "X1", "5");
    const QStringList expected{"EMPTY-VHOD", "CHEAP", "DISCOUNTED", "TIE-FIRST", "TIE-SECOND"};
    QCOMPARE(numbers("X1"), expected);
    QCOMPARE(numbers("x1"), expected);
    QCOMPARE(numbers("X"), QStringList{});
    QCOMPARE(numbers("X3"), QStringList{});
}

void TestPriceList::amountsToTheKopeck_data()
{
    QTest::addColumn<float>("price"); // stored in single precision, as the update stores it
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QString>("vhod");
    QTest::addColumn<QString>("retail");
    QTest::addColumn<QString>("usd");

    QTest::newRow("45.50 less 15 % is 38.675") << 45.5f << QByteArray("G15") << "38.68"
                                               << "45.50"
                                               << "2.28";
    QTest::newRow("45.10 less 15 % is 38.335") << 45.1f << QByteArray("G15") << "38.34"
                                               << "45.10"
                                               << "2.26";
    QTest::newRow("0.50 less 3 % is 0.485") << 0.5f << QByteArray("G3") << "0.49"
                                            << "0.50"
                                            << "0.03";
    QTest::newRow("whole price, no discount") << 99.0f << QByteArray("G0") << "99.00"
                                              << "99.00"
                                              << "4.95";
}

void TestPriceList::amountsToTheKopeck()
{
    QFETCH(float, price);
    QFETCH(QByteArray, group);
    QFETCH(QString, vhod);
    QFETCH(QString, retail);
    QFETCH(QString, usd);
    part(group.constData(), "P1", "X1", QByteArray::number(double(price), 'g', 17).constData());
    const std::vector<PriceRow> rows = priceList("X1", 20, 40);
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(PriceGridColumns::text(rows[0], 2), regional(vhod));
    QCOMPARE(PriceGridColumns::text(rows[0], 3), regional(retail));
    QCOMPARE(PriceGridColumns::text(rows[0], 4), regional(usd));
}

QTEST_GUILESS_MAIN(TestPriceList)
#include "TestPriceList.moc"
