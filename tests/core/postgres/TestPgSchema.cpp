#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"
#include "core/text/CaseFolding.h"
#include "support/PostgresServer.h"

#include <QTest>

class TestPgSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void foldsAsCaseFolding();
    void lookupsUseIndexes_data();
    void lookupsUseIndexes();
    void createRefused_data();
    void createRefused();

private:
    PostgresServer m_server;
    std::unique_ptr<PgConnection> m_db;
};

void TestPgSchema::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestPgSchema::init()
{
    const QString database = m_server.createDatabase();
    QVERIFY2(!database.isEmpty(), qPrintable(m_server.error()));
    m_db = std::make_unique<PgConnection>(database);
}

void TestPgSchema::cleanup()
{
    m_db.reset();
}

void TestPgSchema::foldsAsCaseFolding()
{
    PgSchema::create(*m_db);
    QString every;
    for (char16_t code = 1; code < 0xFFFF; ++code)
        if (!QChar(code).isSurrogate())
            every += QChar(code);
    every += QString::fromUcs4(U"\U0001D400\U00010400");
    QCOMPARE(m_db->exec("SELECT tardesk_fold($1)", {every}).string(0, 0), CaseFolding::upper(every));
}

void TestPgSchema::lookupsUseIndexes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("index");
    QTest::newRow("parts of a cross number") << PgSchema::kPartsOfCross << "x1"
                                             << "Index Scan using price_crossnumber";
    QTest::newRow("parts of a short number") << PgSchema::kPartsOfShortNumber << "ab1"
                                             << "Index Scan using price_shortpartnumber";
}

void TestPgSchema::lookupsUseIndexes()
{
    QFETCH(QString, query);
    QFETCH(QString, parameter);
    QFETCH(QString, index);
    PgSchema::create(*m_db);
    m_db->exec("INSERT INTO PRICE (GROUPCODE, SHORTPARTNUMBER, CROSSNUMBER) SELECT 'G', 'N' || n, 'X' || n "
               "FROM generate_series(1, 20000) n");
    m_db->exec("VACUUM ANALYZE PRICE");
    const PgResult plan = m_db->exec("EXPLAIN " + query.toStdString(), {parameter});
    QString text;
    for (int row = 0; row < plan.rows(); ++row)
        text += plan.string(row, 0) + "\n";
    QVERIFY2(text.contains(index), qPrintable(text));
}

void TestPgSchema::createRefused_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("message");
    QTest::newRow("shop there") << ""
                                << "уже есть таблицы: groups, name_runs, order_lines, price, price_changes, "
                                   "settings, tardesk_list, tardesk_schema; ничего не изменено";
    QTest::newRow("one table there") << "CREATE TABLE Price (N integer)"
                                     << "уже есть таблицы: price; ничего не изменено";
    QTest::newRow("not UTF8") << "SQL_ASCII"
                              << "в кодировке SQL_ASCII, а нужна UTF8";
}

void TestPgSchema::createRefused()
{
    QFETCH(QString, before);
    QFETCH(QString, message);
    if (before.isEmpty()) {
        PgSchema::create(*m_db);
    } else if (before == "SQL_ASCII") {
        PgConnection(m_server.connectionString("postgres"))
            .exec(
                "CREATE DATABASE ascii ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0");
        m_db = std::make_unique<PgConnection>(m_server.connectionString("ascii"));
    } else {
        m_db->exec(before.toStdString());
    }
    try {
        PgSchema::create(*m_db);
        QFAIL("made again");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    if (!before.isEmpty())
        QCOMPARE(m_db->exec("SELECT to_regclass('settings') IS NULL").string(0, 0), "t");
}

QTEST_GUILESS_MAIN(TestPgSchema)
#include "TestPgSchema.moc"
