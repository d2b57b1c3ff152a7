#include "core/import/FieldConverter.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <cmath>

namespace {

const TableColumn kDouble{"PRICE", TableColumn::Double, 0};

// What the C++ library reads from the same text, "," taken as the decimal point.
double libraryValue(QByteArray text)
{
    text.replace(',', '.');
    if (text.startsWith('+'))
        text.remove(0, 1);
    double value = 0;
    std::from_chars(text.constData(), text.constData() + text.size(), value);
    return value;
}

bool sameDouble(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

} // namespace

class TestFieldConverter : public QObject
{
    Q_OBJECT

private slots:
    void numbersAsTheLibraryReadsThem_data();
    void numbersAsTheLibraryReadsThem();
    void randomDecimalsAsTheLibraryReadsThem();
};

void TestFieldConverter::numbersAsTheLibraryReadsThem_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("tenth, not exact in binary") << QByteArray("0.1");
    QTest::newRow("price") << QByteArray("236.34");
    QTest::newRow("decimal comma") << QByteArray("12,7");
    QTest::newRow("negative zero") << QByteArray("-0");
    QTest::newRow("negative zero with decimals") << QByteArray("-0.00");
    QTest::newRow("plus sign") << QByteArray("+3.5");
    QTest::newRow("point first") << QByteArray(".5");
    QTest::newRow("point last") << QByteArray("5.");
    QTest::newRow("leading zeros") << QByteArray("000000000000000000012.5");
    QTest::newRow("fifteen digits") << QByteArray("999999999999999");
    QTest::newRow("fifteen digits, all decimals") << QByteArray("0.123456789012345");
    QTest::newRow("sixteen digits") << QByteArray("1234567890123456");
    QTest::newRow("sixteen digits with decimals") << QByteArray("123456789012.3457");
    QTest::newRow("twenty digits") << QByteArray("98765432109876543210");
    QTest::newRow("exponent") << QByteArray("1.5e2");
}

void TestFieldConverter::numbersAsTheLibraryReadsThem()
{
    QFETCH(QByteArray, text);
    const FieldConverter converter(CodePage::Utf8, 0, ';');
    FieldConverter::Value value;
    QVERIFY(converter.convert(text, kDouble, value));
    QVERIFY(sameDouble(std::get<double>(value), libraryValue(text)));
}

void TestFieldConverter::randomDecimalsAsTheLibraryReadsThem()
{
    const FieldConverter converter(CodePage::Utf8, 0, ';');
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        const int digits = random.bounded(1, 18);
        QByteArray text = random.bounded(4) == 0 ? "-" : "";
        for (int d = 0; d < digits; ++d)
            text += char('0' + random.bounded(10));
        if (random.bounded(3) != 0)
            text.insert(text.size() - random.bounded(digits + 1), '.');
        FieldConverter::Value value;
        QVERIFY(converter.convert(text, kDouble, value));
        QVERIFY2(sameDouble(std::get<double>(value), libraryValue(text)), text.constData());
    }
}

QTEST_GUILESS_MAIN(TestFieldConverter)
#include "TestFieldConverter.moc"
