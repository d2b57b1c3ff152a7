#include "core/text/CaseFolding.h"
#include "core/text/NormalizePartNumber.h"

#include <QTest>

class TestNormalizePartNumber : public QObject
{
    Q_OBJECT

private slots:
    void normalize_data();
    void normalize();
    void caseFolding_data();
    void caseFolding();
};

void TestNormalizePartNumber::normalize_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blanks dashes dots slashes") << " 0 986-452.04/4 "
                                                << "0986452044";
    QTest::newRow("case kept") << "oc-90 Ab"
                               << "oc90Ab";
    QTest::newRow("russian letters both ends") << "А-я.Б/ю"
                                               << "АяБю";
    QTest::newRow("ukrainian kept") << "Є є І і Ї ї"
                                    << "ЄєІіЇї";
    QTest::newRow("yo dropped") << "Ёж-ё1"
                                << "ж1";
    QTest::newRow("ghe with upturn dropped") << "Ґ2ґ3"
                                             << "23";
    QTest::newRow("other cyrillic dropped") << "Ў ў Ђ Ѕ"
                                            << "";
    QTest::newRow("latin accents dropped") << "Ä9é"
                                           << "9";
    QTest::newRow("punctuation only") << "-./\\,;:!?#%_*'\"()[]"
                                      << "";
    QTest::newRow("tabs and no-break blank") << "\t1\u00A02\n3"
                                             << "123";
    QTest::newRow("full-width digits dropped") << "\uFF11A"
                                               << "A";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNormalizePartNumber::normalize()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(NormalizePartNumber(typed), expected);
}

void TestNormalizePartNumber::caseFolding_data()
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

void TestNormalizePartNumber::caseFolding()
{
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QCOMPARE(CaseFolding::upper(text), upper);
    QVERIFY(CaseFolding::equal(text, upper));
    QVERIFY(CaseFolding::startsWith(upper, text.left(2)));
    for (QChar ch : upper)
        QCOMPARE(CaseFolding::upper(CaseFolding::lower(ch)), ch);
}

QTEST_GUILESS_MAIN(TestNormalizePartNumber)
#include "TestNormalizePartNumber.moc"
