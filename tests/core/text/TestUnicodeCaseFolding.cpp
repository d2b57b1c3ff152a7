#include "core/text/UnicodeCaseFolding.h"

#include <QTest>

class TestUnicodeCaseFolding : public QObject
{
    Q_OBJECT

private slots:
    void variants_data();
    void variants();
    void appendFolded_data();
    void appendFolded();
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

void TestUnicodeCaseFolding::appendFolded_data()
{
    QTest::addColumn<QByteArray>("utf8");

    QTest::newRow("ASCII") << QByteArray("KYB-6546/0471 az@[`{");
    QTest::newRow("Cyrillic, Greek, ẞ, Kelvin") << QByteArray("ЁЖёж ΣΑς ẞ \u212A");
    QTest::newRow("beyond the BMP") << QByteArray("\xF0\x90\x90\x80x");
    QTest::newRow("NUL kept") << QByteArray("A\0B", 3);
    // Malformed text folds as QString reads it, replacement characters and all.
    QTest::newRow("cut short") << QByteArray("AБ\xD0");
    QTest::newRow("overlong") << QByteArray("A\xC0\xAFZ");
    QTest::newRow("surrogate") << QByteArray("A\xED\xA0\x80Z");
    QTest::newRow("beyond Unicode") << QByteArray("A\xF4\x90\x80\x80Z");
    QTest::newRow("stray continuation") << QByteArray("Ж\x80Ж");
}

void TestUnicodeCaseFolding::appendFolded()
{
    QFETCH(QByteArray, utf8);
    std::string folded = "kept";
    UnicodeCaseFolding::appendFolded(folded, std::string_view(utf8.constData(), size_t(utf8.size())));
    const QByteArray expected = "kept" + UnicodeCaseFolding::fold(QString::fromUtf8(utf8)).toUtf8();
    QCOMPARE(QByteArray::fromStdString(folded), expected);
}

QTEST_GUILESS_MAIN(TestUnicodeCaseFolding)
#include "TestUnicodeCaseFolding.moc"
