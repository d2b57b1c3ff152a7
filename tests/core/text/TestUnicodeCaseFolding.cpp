#include "core/text/UnicodeCaseFolding.h"

#include <QTest>

class TestUnicodeCaseFolding : public QObject
{
    Q_OBJECT

private slots:
    void variants_data();
    void variants();
};

void TestUnicodeCaseFolding::variants_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("variants"); // every spelling, in code point order

    QTest::newRow("Latin") << "a"
                           << "Aa";
    QTest::newRow("from the capital") << "Ё"
                                      << "Ёё";
    QTest::newRow("Ґ") << "ґ"
                       << "Ґґ";
    QTest::newRow("Ä") << "ä"
                       << "Ää";
    QTest::newRow("Kelvin sign") << "k"
                                 << "Kk\u212A";
    QTest::newRow("three sigmas") << "ς"
                                  << "Σςσ";
    QTest::newRow("beyond the BMP") << "\U00010428"
                                    << "\U00010400\U00010428";
    QTest::newRow("ẞ folds to ß") << "ß"
                                  << "ß\u1E9E";
    QTest::newRow("digit") << "1"
                           << "1";
    QTest::newRow("Cyrillic") << "ж"
                              << "Жж";
    QTest::newRow("letter without case") << "中"
                                         << "中";
}

void TestUnicodeCaseFolding::variants()
{
    QFETCH(QString, letter);
    QFETCH(QString, variants);
    const std::vector<char32_t> found = UnicodeCaseFolding::variants(letter.toUcs4().front());
    QCOMPARE(QString::fromUcs4(found.data(), qsizetype(found.size())), variants);
    for (const char32_t variant : found)
        QCOMPARE(UnicodeCaseFolding::fold(QString::fromUcs4(&variant, 1)), UnicodeCaseFolding::fold(letter));
}

QTEST_GUILESS_MAIN(TestUnicodeCaseFolding)
#include "TestUnicodeCaseFolding.moc"
