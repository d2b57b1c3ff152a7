#include "core/config/IniFile.h"
#include "core/search/SearchHistory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

IniFile iniWith(const QTemporaryDir& dir, const QByteArray& text)
{
    const QString fileName = dir.filePath(QStringLiteral("Tardesk.ini"));
    QFile file(fileName);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    file.close();
    return IniFile(fileName);
}

} // namespace

class TestSearchHistory : public QObject
{
    Q_OBJECT

private slots:
    void addIgnoresCase_data();
    void addIgnoresCase();
    void keepsTheNewestTwenty();
    void emptyNumberIsNotAdded();
    void loadStopsAtGap_data();
    void loadStopsAtGap();
    void saveLeavesHigherKeys();
    void completion_data();
    void completion();
};

void TestSearchHistory::addIgnoresCase_data()
{
    QTest::addColumn<QStringList>("searches");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("latin again in small letters")
        << QStringList{"OC90", "W712", "oc90"} << QStringList{"W712", "OC90"};
    QTest::newRow("russian again in small letters")
        << QStringList{"ВАЗ2110", "1K0", "ваз2110"} << QStringList{"1K0", "ВАЗ2110"};
    QTest::newRow("ukrainian again in small letters") << QStringList{"ЇЄІ1", "їєі1"} << QStringList{"ЇЄІ1"};
    QTest::newRow("capitals for a new entry") << QStringList{"abvг-їє"} << QStringList{"ABVГ-ЇЄ"};
    QTest::newRow("prefix is another entry") << QStringList{"OC9", "OC90"} << QStringList{"OC90", "OC9"};
    QTest::newRow("latin and cyrillic look-alikes differ") << QStringList{"A1", "\u0410"
                                                                                "1"}
                                                           << QStringList{"\u0410"
                                                                          "1",
                                                                          "A1"};
}

void TestSearchHistory::addIgnoresCase()
{
    QFETCH(QStringList, searches);
    QFETCH(QStringList, expected);
    SearchHistory history;
    for (const QString& searchNr : searches)
        history.AddSearchNr(searchNr);
    QCOMPARE(history.entries(), expected);
}

void TestSearchHistory::keepsTheNewestTwenty()
{
    QTemporaryDir dir;
    IniFile ini = iniWith(dir, "[PRICE]\nShowUS=1\n");
    SearchHistory history;
    QStringList expected;
    for (int n = 1; n <= 21; ++n) {
        history.AddSearchNr(QStringLiteral("n%1").arg(n));
        expected.prepend(QStringLiteral("N%1").arg(n));
    }
    expected.removeLast();
    QCOMPARE(history.entries(), expected);
    history.SaveSearchHistory(ini);
    QCOMPARE(ini.ReadString("PRICE", "SearchNr0", ""), "N21");
    QCOMPARE(ini.ReadString("PRICE", "SearchNr19", ""), "N2");
    QCOMPARE(ini.ReadString("PRICE", "SearchNr20", "none"), "none");
    SearchHistory reloaded;
    reloaded.LoadSearchHistory(ini);
    QCOMPARE(reloaded.entries(), expected);
}

void TestSearchHistory::emptyNumberIsNotAdded()
{
    SearchHistory history;
    history.AddSearchNr("A1");
    history.AddSearchNr("");
    QCOMPARE(history.entries(), QStringList{"A1"});
}

void TestSearchHistory::loadStopsAtGap_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("missing position")
        << QByteArray("[PRICE]\nSearchNr0=A1\nSearchNr1=B2\nSearchNr3=D4\n") << QStringList{"A1", "B2"};
    QTest::newRow("empty value") << QByteArray("[PRICE]\nSearchNr0=A1\nSearchNr1=\nSearchNr2=C3\n")
                                 << QStringList{"A1"};
    QTest::newRow("small letters and separators kept as read, in capitals")
        << QByteArray("[price]\nsearchnr0=ваз-2110\nSearchNr1=oc 90\n") << QStringList{"ВАЗ-2110", "OC 90"};
    QTest::newRow("beyond twenty ignored") <<
        [] {
            QByteArray text("[PRICE]\n");
            for (int n = 0; n < 25; ++n)
                text += "SearchNr" + QByteArray::number(n) + "=X" + QByteArray::number(n) + "\n";
            return text;
        }()
                                           << [] {
                                                  QStringList entries;
                                                  for (int n = 0; n < 20; ++n)
                                                      entries << QStringLiteral("X%1").arg(n);
                                                  return entries;
                                              }();
    QTest::newRow("no section") << QByteArray("[OTHER]\nSearchNr0=A1\n") << QStringList{};
}

void TestSearchHistory::loadStopsAtGap()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    SearchHistory history;
    history.AddSearchNr("OLD");
    history.LoadSearchHistory(iniWith(dir, text));
    QCOMPARE(history.entries(), expected);
}

void TestSearchHistory::saveLeavesHigherKeys()
{
    QTemporaryDir dir;
    IniFile ini = iniWith(dir, "[PRICE]\nSearchNr0=OLD0\nSearchNr1=OLD1\nSearchNr2=OLD2\n");
    SearchHistory history;
    history.AddSearchNr("b2");
    history.AddSearchNr("a1");
    history.SaveSearchHistory(ini);
    QCOMPARE(ini.ReadString("PRICE", "SearchNr0", ""), "A1");
    QCOMPARE(ini.ReadString("PRICE", "SearchNr1", ""), "B2");
    QCOMPARE(ini.ReadString("PRICE", "SearchNr2", ""), "OLD2");
}

void TestSearchHistory::completion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    // The history below is, newest first: ВАЗ2110, OC90, ВАЗ21, OC9
    QTest::newRow("newest of two matches") << "ВАЗ"
                                           << "ВАЗ2110";
    QTest::newRow("small cyrillic letters") << "ваз21"
                                            << "ВАЗ2110";
    QTest::newRow("small latin letters") << "oc"
                                         << "OC90";
    QTest::newRow("whole entry") << "OC9"
                                 << "OC90";
    QTest::newRow("longer than every entry") << "OC901"
                                             << "";
    QTest::newRow("no match") << "W"
                              << "";
    QTest::newRow("nothing typed") << ""
                                   << "";
}

void TestSearchHistory::completion()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    SearchHistory history;
    for (const char* searchNr : {"OC9", "ВАЗ21", "OC90", "ВАЗ2110"})
        history.AddSearchNr(QString::fromUtf8(searchNr));
    QCOMPARE(history.completion(typed), expected);
}

QTEST_GUILESS_MAIN(TestSearchHistory)
#include "TestSearchHistory.moc"
