#include "core/sqlite/Schema.h"
#include "support/ClientFolder.h"

#include <QTest>

#include <string>

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void createStatements_data();
    void createStatements();
    void newShopDatabase();
};

void TestSchema::createStatements_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("expected");
    // Word for word as the price list update must run them.
    QTest::newRow("PRICE")
        << QString::fromStdString(Schema::createPriceStatement())
        << "CREATE TABLE PRICE (GROUPCODE TEXT(15), PARTNUMBER TEXT(22), SHORTPARTNUMBER "
           "TEXT(22), PARTNAME TEXT(60), CROSSNUMBER TEXT(10), PRICE SINGLE, WH0 SHORT, WH1 "
           "SHORT, WH2 SHORT, WH3 SHORT, WH4 SHORT, WH5 SHORT, WH6 SHORT, WH7 SHORT, WH8 "
           "SHORT);";
    QTest::newRow("GROUPS") << QString::fromStdString(Schema::createGroupsStatement())
                            << "CREATE TABLE GROUPS (GROUPCODE TEXT(15) NOT NULL PRIMARY KEY, GROUPNAME "
                               "TEXT(60), DISCOUNT SHORT);";
}

void TestSchema::createStatements()
{
    QFETCH(QString, built);
    QFETCH(QString, expected);
    QCOMPARE(built, expected);
}

// Tardesk.mdb as a new shop has it (made as "tardesk-admin init" makes it).
void TestSchema::newShopDatabase()
{
    ClientFolder folder;
    QCOMPARE(folder.queryRows("SELECT name, type FROM pragma_table_info('PRICE')").mid(0, 7),
             QStringList({"GROUPCODE|TEXT(15)", "PARTNUMBER|TEXT(22)", "SHORTPARTNUMBER|TEXT(22)",
                          "PARTNAME|TEXT(60)", "CROSSNUMBER|TEXT(10)", "PRICE|SINGLE", "WH0|SHORT"}));
    QCOMPARE(folder.queryRows("SELECT name FROM sqlite_master ORDER BY name"),
             QStringList({"GROUPS", "PRICE", "PRICE_CROSSNUMBER", "PRICE_SHORTPARTNUMBER", "SETTINGS",
                          "sqlite_autoindex_GROUPS_1"}));
    QCOMPARE(folder.queryText("SELECT count(*) FROM SETTINGS"), QStringLiteral("1"));
    QCOMPARE(folder.queryText("SELECT count(*) FROM PRICE"), QStringLiteral("0"));
    QCOMPARE(folder.queryText("PRAGMA integrity_check"), QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "TestSchema.moc"
