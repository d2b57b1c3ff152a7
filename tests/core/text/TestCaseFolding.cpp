#include "core/text/CaseFolding.h"

#include <QTest>

class TestCaseFolding : public QObject
{
    Q_OBJECT

private slots:
    void upperAndLower_data();
    void upperAndLower();
};

void TestCaseFolding::upperAndLower_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("upper");
    QTest::newRow("latin") << "az09AZ"
                           << "AZ09AZ";
    QTest::newRow("russian first and last") << "аяАЯ"
                                            << "АЯАЯ";
    QTest::newRow("ukrainian") << "єіїЄІЇ"
                               << "ЄІЇЄІЇ";
    QTest::newRow("letters without a pair stay") << "ёґßé"
                                                 << "ёґßé";
    QTest::newRow("neighbours of the ranges stay") << "@[`{"
                                                   << "@[`{";
}

void TestCaseFolding::upperAndLower()
{
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QCOMPARE(CaseFolding::upper(text), upper);
    QVERIFY(CaseFolding::equal(text, upper));
    QVERIFY(CaseFolding::startsWith(upper, text.left(2)));
    for (QChar ch : upper)
        QCOMPARE(CaseFolding::upper(CaseFolding::lower(ch)), ch);
}

QTEST_GUILESS_MAIN(TestCaseFolding)
#include "TestCaseFolding.moc"
