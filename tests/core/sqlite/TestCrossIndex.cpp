#include "core/sqlite/CrossIndex.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "support/ClientFolder.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <QTest>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

// The cross numbers the catalogue keeps per connection: read again exactly
// when PRICE may have changed, whoever changed it, and whatever the rowids.
class TestCrossIndex : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void seesChanges_data();
    void seesChanges();
    void seesOwnTransaction();
    void newConnectionReadsItsOwnFile();
    void readsPriceAgainOnlyWhenItChanged_data();
    void readsPriceAgainOnlyWhenItChanged();
    void sparseRowIds_data();
    void sparseRowIds();
    void buildSeesItsOwnRead_data();
    void buildSeesItsOwnRead();

private:
    struct Part
    {
        QString shortPartNumber;
        std::optional<QString> crossNumber;
    };
    void insert(const std::vector<Part>& parts);
    // Runs change through the catalogue's connection or through another one.
    void apply(bool otherConnection, const QString& change);
    QStringList find(const QString& searchNr) { return m_catalogue.crossesOf(searchNr); }

    std::unique_ptr<ClientFolder> m_folder;
    Database m_database;
    CrossIndex m_index;
    SqlitePriceCatalogue m_catalogue{m_database, m_index};
};

void TestCrossIndex::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_database.open(m_folder->databaseFileName());
}

void TestCrossIndex::cleanup()
{
    m_database.close();
    m_folder.reset();
    m_index = CrossIndex();
}

void TestCrossIndex::apply(bool otherConnection, const QString& change)
{
    if (otherConnection)
        m_folder->exec(change.toStdString());
    else
        m_database.connection().exec(change.toStdString());
}

void TestCrossIndex::insert(const std::vector<Part>& parts)
{
    SQLite::Statement insert(m_database.connection(),
                             "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES (?, ?)");
    for (const Part& part : parts) {
        insert.reset();
        insert.bind(1, part.shortPartNumber.toStdString());
        if (part.crossNumber)
            insert.bind(2, part.crossNumber->toStdString());
        else
            insert.bind(2);
        insert.exec();
    }
}

void TestCrossIndex::seesChanges_data()
{
    QTest::addColumn<bool>("otherConnection");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expected");
    const QString replaceTable =
        "CREATE TABLE NEWPRICE AS SELECT SHORTPARTNUMBER, 'N' || CROSSNUMBER AS CROSSNUMBER FROM PRICE "
        "ORDER BY rowid; DROP TABLE PRICE; ALTER TABLE NEWPRICE RENAME TO PRICE; "
        "CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER)";
    const QString reuseRowId =
        "DELETE FROM PRICE WHERE rowid = 1; "
        "INSERT INTO PRICE (rowid, SHORTPARTNUMBER, CROSSNUMBER) VALUES (1, 'AB1', 'V1')";
    // Plain changes by another program are the search's own test (TestCrossSearch).
    const bool same = false;
    QTest::newRow("insert through the same connection")
        << same << "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('ab3', 'X0')"
        << QStringList{"X0", "X1", "X2"};
    QTest::newRow("update through the same connection")
        << same << "UPDATE PRICE SET CROSSNUMBER = 'W1' WHERE SHORTPARTNUMBER = 'AB1'"
        << QStringList{"W1", "X2"};
    QTest::newRow("delete through the same connection")
        << same << "DELETE FROM PRICE WHERE SHORTPARTNUMBER = 'AB2'" << QStringList{"X1"};
    for (const bool other : {true, false}) {
        const QByteArray through = other ? " through another connection" : " through the same connection";
        QTest::addRow("rowid reused%s", through.data()) << other << reuseRowId << QStringList{"V1", "X2"};
        // Counts no changed row: only the schema tells.
        QTest::addRow("table replaced%s", through.data())
            << other << replaceTable << QStringList{"NX1", "NX2"};
    }
}

void TestCrossIndex::seesChanges()
{
    QFETCH(bool, otherConnection);
    QFETCH(QString, change);
    QFETCH(QStringList, expected);
    insert({{"AB1", "X1"}, {"AB2", "X2"}, {"CD1", "Y1"}});
    QCOMPARE(find("ab"), QStringList({"X1", "X2"}));
    apply(otherConnection, change);
    QCOMPARE(find("ab"), expected);
    QCOMPARE(find("CD"), QStringList{change.contains("'N'") ? "NY1" : "Y1"});
}

void TestCrossIndex::seesOwnTransaction()
{
    insert({{"AB1", "X1"}});
    m_database.connection().exec("BEGIN");
    m_database.connection().exec("UPDATE PRICE SET CROSSNUMBER = 'W1'");
    QCOMPARE(find("AB"), QStringList{"W1"});
    m_database.connection().exec("ROLLBACK");
    QCOMPARE(find("AB"), QStringList{"X1"});
}

void TestCrossIndex::newConnectionReadsItsOwnFile()
{
    insert({{"AB1", "A1"}});
    ClientFolder other;
    other.exec("INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('AB1', 'B1')");
    // One index for all of them, as a session keeps it when it opens its file again.
    for (int round = 0; round < 5; ++round)
        for (const auto& [fileName, cross] :
             {std::pair{m_folder->databaseFileName(), "A1"}, std::pair{other.databaseFileName(), "B1"}}) {
            m_database.open(fileName);
            QCOMPARE(find("AB"), QStringList{cross});
        }
}

void TestCrossIndex::readsPriceAgainOnlyWhenItChanged_data()
{
    QTest::addColumn<bool>("otherConnection");
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("readsAgain");
    QTest::newRow("settings saved") << false << "UPDATE SETTINGS SET RATE_USD = 42.5" << false;
    QTest::newRow("group added") << false << "INSERT INTO GROUPS (GROUPCODE) VALUES ('G1')" << false;
    QTest::newRow("part name changed") << false << "UPDATE PRICE SET PARTNAME = 'Фильтр'" << true;
    QTest::newRow("parts deleted") << false << "DELETE FROM PRICE" << true;
    // Another program's commit does not say which table it wrote.
    QTest::newRow("settings saved by another program")
        << true << "UPDATE SETTINGS SET RATE_USD = 42.5" << true;
}

void TestCrossIndex::readsPriceAgainOnlyWhenItChanged()
{
    QFETCH(bool, otherConnection);
    QFETCH(QString, change);
    QFETCH(bool, readsAgain);
    insert({{"AB1", "X1"}, {"AB2", "X2"}});
    QCOMPARE(find("AB"), QStringList({"X1", "X2"}));
    apply(otherConnection, change);
    // Every statement the connection runs from here on, as SQLite expands it.
    QStringList statements;
    sqlite3* handle = m_database.connection().getHandle();
    sqlite3_trace_v2(
        handle, SQLITE_TRACE_STMT,
        [](unsigned, void* list, void* statement, void*) {
            char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
            static_cast<QStringList*>(list)->append(QString::fromUtf8(sql));
            sqlite3_free(sql);
            return 0;
        },
        &statements);
    const QStringList found = find("AB");
    sqlite3_trace_v2(handle, 0, nullptr, nullptr);
    QCOMPARE(found, change.startsWith("DELETE") ? QStringList() : QStringList({"X1", "X2"}));
    QCOMPARE(!statements.filter("FROM PRICE").isEmpty(), readsAgain);
}

void TestCrossIndex::sparseRowIds_data()
{
    QTest::addColumn<QList<qint64>>("rowIds");
    QTest::newRow("dense from one") << QList<qint64>{1, 2, 3, 4};
    QTest::newRow("gaps too wide for one slot per rowid") << QList<qint64>{10, 1000, 100000, 100001};
    QTest::newRow("huge rowids") << QList<qint64>{1, 4000000000, Q_INT64_C(1) << 62, INT64_MAX};
    QTest::newRow("negative rowids") << QList<qint64>{INT64_MIN, -5, 0, 7};
}

void TestCrossIndex::sparseRowIds()
{
    QFETCH(QList<qint64>, rowIds);
    SQLite::Statement insert(m_database.connection(),
                             "INSERT INTO PRICE (rowid, SHORTPARTNUMBER, CROSSNUMBER) VALUES (?, ?, ?)");
    for (int i = 0; i < rowIds.size(); ++i) {
        insert.reset();
        insert.bind(1, static_cast<int64_t>(rowIds[i]));
        insert.bind(2, "AB" + std::to_string(i));
        // One part without a cross number among them.
        if (i == 2)
            insert.bind(3);
        else
            insert.bind(3, "C" + std::to_string(i));
        insert.exec();
    }
    QCOMPARE(find("AB"), QStringList({"C0", "C1", "C3"}));
    for (int i = 0; i < rowIds.size(); ++i)
        QCOMPARE(find("AB" + QString::number(i)),
                 i == 2 ? QStringList() : QStringList{"C" + QString::number(i)});
}

void TestCrossIndex::buildSeesItsOwnRead_data()
{
    QTest::addColumn<QString>("journalMode");
    // Another program's commit waits for the read; the index may be read
    // on two connections at once.
    QTest::newRow("rollback journal") << "DELETE";
    // Another program commits during the read, which must not see it.
    QTest::newRow("write-ahead log") << "WAL";
}

void TestCrossIndex::buildSeesItsOwnRead()
{
    QFETCH(QString, journalMode);
    m_folder->exec("PRAGMA journal_mode=" + journalMode.toStdString());
    insert({{"AB1", "X1"}, {"AB2", "X2"}});
    SQLite::Database& db = m_database.connection();
    SQLite::Transaction read(db);
    QCOMPARE(db.execAndGet("SELECT count(*) FROM PRICE").getInt(), 2);
    try {
        m_folder->exec("UPDATE PRICE SET CROSSNUMBER = 'Y2' WHERE SHORTPARTNUMBER = 'AB2'");
        QCOMPARE(journalMode, "WAL");
    } catch (const SQLite::Exception& error) {
        QCOMPARE(error.getErrorCode(), SQLITE_BUSY);
    }
    m_index.refresh(db);
    QCOMPARE(m_index.crossesOf("AB"), QStringList({"X1", "X2"}));
    QCOMPARE(m_index.crossesOf("AB2"), QStringList({"X2"}));
}

QTEST_GUILESS_MAIN(TestCrossIndex)
#include "TestCrossIndex.moc"
