#include "core/sqlite/Schema.h"

#include <QTest>

#include <string>

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void createStatements_data();
    void createStatements();
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

QTEST_GUILESS_MAIN(TestSchema)
#include "TestSchema.moc"
