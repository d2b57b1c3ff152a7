#include "core/session/CommandLine.h"
#include "core/storage/NameIndex.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QTest>

// "tardesk-admin find": what it prints and its exit status; which parts
// match and in what order is TestNameSearch's.
class TestAdminFind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answers_data();
    void answers();
    void indexesAListMadeWithoutIt();

private:
    ClientFolder m_folder;
};

void TestAdminFind::initTestCase()
{
    m_folder.writeFile(QStringLiteral("import.txt"),
                       "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;"
                       "WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\n"
                       "G1;OC-90;OC90;Фильтр масляный;K7;99;1;;;;;;;;12\n"
                       "G1;OC-91;OC91;Фильтр салона;K7;80.5;;;;;;;;;\n"
                       "G2;B-1;B1;Колодки тормозные;K8;1200;0;0;0;0;0;0;0;0;0\n");
    m_folder.writeFile(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\n"
                                                      "G1;Фильтры;5\n"
                                                      "G2;Тормоза;0\n");
    m_folder.update();
}

void TestAdminFind::answers_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");

    const QString oil = "OC-90\tФильтр масляный\tФильтры\t" + regional("99.00") + "\t13\n";
    const QString cabin = "OC-91\tФильтр салона\tФильтры\t" + regional("80.50") + "\t\n";
    QTest::newRow("all matches, no header") << QStringList{"фил"} << 0 << oil + cabin;
    QTest::newRow("words split across arguments and at punctuation") << QStringList{"САЛОНА,ф"} << 0 << cabin;
    QTest::newRow("stock of zeros is a figure")
        << QStringList{"колодки", "т"} << 0
        << "B-1\tКолодки тормозные\tТормоза\t" + regional("1200.00") + "\t0\n";
    QTest::newRow("nothing matches") << QStringList{"диск"} << 1 << "не найден\n";
    QTest::newRow("no word of two characters") << QStringList{"ф", "м"} << 1 << "не найден\n";
    QTest::newRow("no words") << QStringList() << 2 << QString();
}

void TestAdminFind::answers()
{
    QFETCH(QStringList, words);
    QFETCH(int, status);
    QFETCH(QString, expected);
    const AdminRun result = AdminRun::of(QStringList{"find", m_folder.path()} + words);
    QCOMPARE(result.status, status);
    QCOMPARE(result.out, expected);
    QCOMPARE(result.err, status == 2 ? CommandLine::usage(CommandLine::Program::Admin) : QString());
}

void TestAdminFind::indexesAListMadeWithoutIt()
{
    SKIP_ON_SERVER("the server's update indexes the names");
    ClientFolder old;
    old.exec("INSERT INTO GROUPS VALUES ('G1', 'Свечи', 0)");
    old.exec("INSERT INTO PRICE VALUES ('G1', 'A-1', 'A1', 'Свеча зажигания', 'X1', 5, 0, 0, 0, 0, 0, 0, 0, "
             "0, 0)");
    const AdminRun result = AdminRun::of({"find", old.path(), "свеч"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, "A-1\tСвеча зажигания\tСвечи\t" + regional("5.00") + "\t0\n");
    QVERIFY(old.openStorage()->names().isBuilt());
}

QTEST_GUILESS_MAIN(TestAdminFind)
#include "TestAdminFind.moc"
