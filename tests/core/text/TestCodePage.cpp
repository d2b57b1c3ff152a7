#include "core/text/CodePage.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void singleByteRoundTrip_data();
    void singleByteRoundTrip();
    void utf8Validity_data();
    void utf8Validity();
};

void TestCodePage::singleByteRoundTrip_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("1251 Russian") << int(CodePage::Windows1251) << QByteArray("\xC0\xFF\xA8\xB8") << "АяЁё";
    QTest::newRow("1251 Ukrainian") << int(CodePage::Windows1251)
                                    << QByteArray("\xAA\xBA\xB2\xB3\xAF\xBF\xA5\xB4") << "ЄєІіЇїҐґ";
    QTest::newRow("1251 punctuation")
        << int(CodePage::Windows1251) << QByteArray("\xB9\x96\xAB\xBB") << "№–«»";
    QTest::newRow("866 Russian") << int(CodePage::Dos866) << QByteArray("\x80\xAF\xE0\xEF\xF0\xF1")
                                 << "АпряЁё";
    QTest::newRow("866 Ukrainian") << int(CodePage::Dos866) << QByteArray("\xF2\xF3\xF4\xF5") << "ЄєЇї";
    QTest::newRow("ASCII") << int(CodePage::Dos866) << QByteArray("A-1;") << "A-1;";
}

void TestCodePage::singleByteRoundTrip()
{
    QFETCH(int, codePage);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const auto id = CodePage::Id(codePage);
    QCOMPARE(CodePage::decode(id, bytes), text);
    QCOMPARE(CodePage::encode(id, text), bytes);
}

void TestCodePage::utf8Validity_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("prefix");

    QTest::newRow("ascii") << QByteArray("abc") << true << 3;
    QTest::newRow("cyrillic") << QStringLiteral("жук").toUtf8() << true << 6;
    QTest::newRow("1251 bytes") << QByteArray("ab\xC6\xD3") << false << 2;
    QTest::newRow("overlong") << QByteArray("\xC0\x80") << false << 0;
    QTest::newRow("surrogate") << QByteArray("x\xED\xA0\x80") << false << 1;
    QTest::newRow("cut at end") << QByteArray("x\xD0") << false << 1;
}

void TestCodePage::utf8Validity()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(int, prefix);
    QCOMPARE(CodePage::isValidUtf8(bytes), valid);
    QCOMPARE(CodePage::validUtf8Prefix(bytes), qsizetype(prefix));
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "TestCodePage.moc"
