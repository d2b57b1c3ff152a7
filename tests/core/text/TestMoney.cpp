#include "core/text/Money.h"

#include <QTest>

#include <limits>

class TestMoney : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void fromSingle_data();
    void fromSingle();
};

void TestMoney::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // Each double below lies just under the decimal it is written as.
    QTest::newRow("half a kopeck") << 38.675 << "38.68";
    QTest::newRow("half a kopeck below one") << 0.485 << "0.49";
    QTest::newRow("rate typed with three decimals") << 41.245 << "41.25";
    QTest::newRow("just under half") << 38.67499 << "38.67";
    QTest::newRow("half of the smallest kopeck") << 0.005 << "0.01";
    QTest::newRow("error of a sum beyond 15 digits") << 0.1 + 0.2 << "0.30";
    QTest::newRow("carry into the units") << 9.995 << "10.00";
    QTest::newRow("carry into a new digit") << 999.999 << "1000.00";
    QTest::newRow("negative zero") << -0.0 << "0.00";
    QTest::newRow("negative rounding to zero") << -0.004 << "0.00";
    QTest::newRow("negative half away from zero") << -0.485 << "-0.49";
    QTest::newRow("digits beyond the 15th are zeros") << 123456789012345678.0 << "123456789012346000.00";
    QTest::newRow("15 digits with hundredths") << 1234567890123.455 << "1234567890123.46";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "inf";
}

void TestMoney::format()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(Money::format(value, QLatin1Char('.')), expected);
    QCOMPARE(Money::format(value, QLatin1Char(',')), QString(expected).replace('.', ','));
}

void TestMoney::fromSingle_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("expected");

    QTest::newRow("price as stored") << double(45.1f) << 45.1;
    QTest::newRow("half a kopeck as stored") << double(38.675f) << 38.675;
    QTest::newRow("a double that is no single") << 45.1 << 45.1;
    QTest::newRow("beyond the digits of a single") << 16777217.0 << 16777216.0;
    QTest::newRow("smallest single") << double(std::numeric_limits<float>::denorm_min()) << 1e-45;
    QTest::newRow("beyond the range of a single") << 1e300 << 1e300;
}

void TestMoney::fromSingle()
{
    QFETCH(double, stored);
    QFETCH(double, expected);
    const double actual = Money::fromSingle(stored);
    // Exactly, not within QCOMPARE's tolerance for doubles.
    QVERIFY2(actual == expected, qPrintable(QString::number(actual, 'g', 17)));
}

QTEST_GUILESS_MAIN(TestMoney)
#include "TestMoney.moc"
