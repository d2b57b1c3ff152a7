#include "core/storage/SharedStrings.h"

#include <QTest>

#include <string>
#include <vector>

// Strings made in shared blocks behave as strings of their own: the same
// texts across many blocks, ended by a zero, each changed alone, and alive
// after their maker and the other strings are gone.
class TestSharedStrings : public QObject
{
    Q_OBJECT

private slots:
    void behaveAsTheirOwn();
};

void TestSharedStrings::behaveAsTheirOwn()
{
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i)
        texts.push_back("0986-" + std::to_string(i * 7919));
    texts.push_back(std::string(40000, 'X')); // longer than a block
    texts.push_back("");

    QStringList made;
    {
        SharedStrings strings;
        QVERIFY(!strings.fromAscii("Ölfilter"));
        for (const std::string& text : texts) {
            const std::optional<QString> string = strings.fromAscii(text);
            QVERIFY(string);
            made << *string;
        }
    }
    QCOMPARE(made.size(), qsizetype(texts.size()));
    for (qsizetype i = 0; i < made.size(); ++i) {
        QCOMPARE(made[i], QString::fromLatin1(texts[size_t(i)]));
        QCOMPARE(made[i].utf16()[made[i].size()], u'\0');
    }

    made[0] += QStringLiteral("-ALT");
    made[1].replace(0, 4, QStringLiteral("1234"));
    QCOMPARE(made[0], QString::fromLatin1(texts[0]) + QStringLiteral("-ALT"));
    QCOMPARE(made[1].left(4), QStringLiteral("1234"));
    QCOMPARE(made[2], QString::fromLatin1(texts[2]));

    // The last of a block's strings, kept alone, may grow where the others were.
    QString last = made[3];
    made.clear();
    last += QString(100, QLatin1Char('Y'));
    QCOMPARE(last, QString::fromLatin1(texts[3]) + QString(100, QLatin1Char('Y')));
}

QTEST_GUILESS_MAIN(TestSharedStrings)
#include "TestSharedStrings.moc"
