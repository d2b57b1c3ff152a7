#include "core/text/FloatText.h"

#include <QTest>

class TestFloatText : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void acceptedChars_data();
    void acceptedChars();
};

void TestFloatText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    const QChar point = QLatin1Char('.');
    const QChar comma = QLatin1Char(',');
    QTest::newRow("unrounded") << "41.2345" << point << true << 41.2345;
    QTest::newRow("comma separator") << "41,2345" << comma << true << 41.2345;
    QTest::newRow("point under comma") << "41.23" << comma << false << 0.0;
    QTest::newRow("comma under point") << "41,23" << point << false << 0.0;
    QTest::newRow("signs") << "+5" << point << true << 5.0;
    QTest::newRow("negative") << "-0.5" << point << true << -0.5;
    QTest::newRow("trailing separator") << "7." << point << true << 7.0;
    QTest::newRow("leading separator") << ",25" << comma << true << 0.25;
    QTest::newRow("exponent") << "4.1E1" << point << true << 41.0;
    QTest::newRow("negative exponent") << "41e-1" << point << true << 4.1;
    QTest::newRow("lone separator") << "." << point << false << 0.0;
    QTest::newRow("lone sign") << "-" << point << false << 0.0;
    QTest::newRow("sign inside") << "1-2" << point << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << point << false << 0.0;
    QTest::newRow("two separators") << "1.2.3" << point << false << 0.0;
    QTest::newRow("overflow") << "1e400" << point << false << 0.0;
    QTest::newRow("space") << " 1" << point << false << 0.0;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0661)) << point << false << 0.0;
}

void TestFloatText::parse()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = FloatText::parse(text, separator);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestFloatText::acceptedChars_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("number characters") << "+-0123456789eE." << QChar(QLatin1Char('.')) << true;
    QTest::newRow("comma system") << "," << QChar(QLatin1Char(',')) << true;
    QTest::newRow("point in comma system") << "." << QChar(QLatin1Char(',')) << false;
    QTest::newRow("letter") << "a" << QChar(QLatin1Char('.')) << false;
    QTest::newRow("cyrillic e") << "е" << QChar(QLatin1Char('.')) << false;
    QTest::newRow("space") << " " << QChar(QLatin1Char('.')) << false;
}

void TestFloatText::acceptedChars()
{
    QFETCH(QString, characters);
    QFETCH(QChar, separator);
    QFETCH(bool, accepted);
    for (const QChar character : characters)
        QVERIFY2(FloatText::isAcceptedChar(character, separator) == accepted, qPrintable(QString(character)));
}

QTEST_GUILESS_MAIN(TestFloatText)
#include "TestFloatText.moc"
