#include "core/text/NormalizePartNumber.h"

#include <QTest>

class TestNormalizePartNumber : public QObject
{
    Q_OBJECT

private slots:
    void normalize_data();
    void normalize();
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

QTEST_GUILESS_MAIN(TestNormalizePartNumber)
#include "TestNormalizePartNumber.moc"
