#include "core/storage/NameIndex.h"
#include "core/storage/Storage.h"
#include "core/text/NameWords.h"
#include "support/ClientFolder.h"

#include <QTest>

#include <memory>

// Finding parts by the words of their names, on a list loaded by the update
// so that whatever index the engine keeps is built the way a shop's is.
class TestNameSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matchesAndOrder_data();
    void matchesAndOrder();
    void showsTheFirstAndCountsAll();

private:
    // "PARTNUMBER/GROUPCODE/group name/price" of each part shown.
    static QStringList described(const NameIndex::Found& found);

    std::unique_ptr<ClientFolder> m_folder;
};

void TestNameSearch::initTestCase()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->writeFile(QStringLiteral("import.txt"),
                        "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;"
                        "WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\n"
                        "G1;K-1;K1;Колодки тормозные передние;X1;1;;;;;;;;;\n"
                        "G1;K-2;K2;Колодки,тормозные задние;X1;2;;;;;;;;;\n"
                        "G2;F-1;F1;ВАЗ 2110 фильтр масляный;X2;3;;;;;;;;;\n"
                        "G2;F-2;F2;ВАЗ2110 фильтр воздушный;X2;4;;;;;;;;;\n"
                        "G2;F-3;F3;Фильтр салона Ланос;X2;5;;;;;;;;;\n"
                        "ZZ;F-4;F4;АВТО фильтр топлива;X2;6;;;;;;;;;\n"
                        "G1;E-1;E1;Ёмкость бачка;X3;7;;;;;;;;;\n"
                        "g1;E-2;E2;Емкость омывателя;X3;8;;;;;;;;;\n"
                        "G2;B-1;B1;Свеча;X4;10;;;;;;;;;\n"
                        "G2;A-1;A1;Свеча;X4;20;;;;;;;;;\n"
                        "G1;A-1;A1;СВЕЧА;X4;30;;;;;;;;;\n"
                        "G1;A-1;A1;Свеча;X4;40;;;;;;;;;\n"
                        "G2;a-0;A0;свеча;X4;50;;;;;;;;;\n");
    m_folder->writeFile(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\n"
                                                       "G1;Тормоза;0\n"
                                                       "G2;Фильтры;0\n");
    m_folder->update();
    // The update gives every group code a group; a list edited since may lack one.
    m_folder->exec("DELETE FROM GROUPS WHERE GROUPCODE = 'ZZ'");
}

QStringList TestNameSearch::described(const NameIndex::Found& found)
{
    QStringList parts;
    for (const NameIndex::Match& match : found.shown)
        parts << QStringLiteral("%1/%2/%3/%4")
                     .arg(match.part.partNumber, match.part.groupCode, match.groupName)
                     .arg(match.part.price.value_or(-1));
    return parts;
}

void TestNameSearch::matchesAndOrder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");

    const QStringList brakes{QStringLiteral("K-1/G1/Тормоза/1"), QStringLiteral("K-2/G1/Тормоза/2")};
    QTest::newRow("words in the name's order") << "колодки тормозные" << brakes;
    QTest::newRow("words in any order, any case") << "ТОРМОЗНЫЕ Колодки" << brakes;
    QTest::newRow("beginnings of words") << "кол торм" << brakes;
    QTest::newRow("punctuation splits what is typed") << "Колодки,тормозные" << brakes;
    QTest::newRow("two typed words may begin one word") << "тормоз тор" << brakes;
    QTest::newRow("every typed word must match") << "кол торм зад" << QStringList{"K-2/G1/Тормоза/2"};
    QTest::newRow("a word inside a name is no beginning") << "рмозн" << QStringList();

    QTest::newRow("digits are a word of their own") << "2110" << QStringList{"F-1/G2/Фильтры/3"};
    QTest::newRow("digits and letters written together") << "ваз2110" << QStringList{"F-2/G2/Фильтры/4"};
    QTest::newRow("a word and the digits after a space") << "ваз 21" << QStringList{"F-1/G2/Фильтры/3"};
    // Folded names in code-point order: the space sorts before "2". A part
    // of a group missing from the group list is not shown, as in the grid.
    QTest::newRow("by name folded") << "ФИЛЬТР"
                                    << QStringList{"F-1/G2/Фильтры/3", "F-2/G2/Фильтры/4",
                                                   "F-3/G2/Фильтры/5"};
    QTest::newRow("a one-letter word once another has two") << "фи л" << QStringList{"F-3/G2/Фильтры/5"};

    // "ё" matches "е" either way, yet sorts after it as written; group
    // codes match their group ignoring case.
    const QStringList tanks{QStringLiteral("E-2/g1/Тормоза/8"), QStringLiteral("E-1/G1/Тормоза/7")};
    QTest::newRow("е finds ё") << "емкость" << tanks;
    QTest::newRow("ё finds е") << "ЁМК" << tanks;

    // Same folded name: PARTNUMBER then GROUPCODE in code points ("B" < "a"),
    // then the supplier file's order.
    QTest::newRow("equal names") << "свеча"
                                 << QStringList{"A-1/G1/Тормоза/30", "A-1/G1/Тормоза/40", "A-1/G2/Фильтры/20",
                                                "B-1/G2/Фильтры/10", "a-0/G2/Фильтры/50"};

    QTest::newRow("nothing matches") << "тормозной диск" << QStringList();
}

void TestNameSearch::matchesAndOrder()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);

    const NameIndex::Found found = m_folder->storage().names().find(NameWords::query(typed), -1);
    QCOMPARE(described(found), expected);
    QCOMPARE(found.total, expected.size());
}

void TestNameSearch::showsTheFirstAndCountsAll()
{
    NameIndex& names = m_folder->storage().names();
    QVERIFY(names.isBuilt());

    // F-4's name sorts first, but its group is gone: the first shown are
    // the first of those left.
    const NameIndex::Found firstTwo = names.find(NameWords::query(u"фил"), 2);
    QCOMPARE(described(firstTwo), (QStringList{"F-1/G2/Фильтры/3", "F-2/G2/Фильтры/4"}));
    QCOMPARE(firstTwo.total, 3);

    // Until one word has two characters nothing is searched.
    QVERIFY(NameWords::query(u"ф л 2").isEmpty());
    QCOMPARE(names.find(NameWords::query(u"ф л 2"), -1).total, 0);
}

QTEST_GUILESS_MAIN(TestNameSearch)
#include "TestNameSearch.moc"
