#include "SampleGenerator.h"
#include "core/sqlite/ClientFiles.h"
#include "core/search/CrossSearch.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

struct Part
{
    QString shortPartNumber;
    std::optional<QString> crossNumber;
};

// Case of every letter flipped at random: the search must not care.
QString mixedCase(const QString& text, QRandomGenerator& random)
{
    QString result;
    for (QChar ch : text)
        result += random.bounded(2) ? ch.toUpper() : ch.toLower();
    return result;
}

// Straight from the definition, with Qt's own case rules: every letter a
// search number can hold has exactly one small and one capital form there.
QStringList oracle(const std::vector<Part>& parts, const QString& searchNr)
{
    QMap<QString, QString> byUpper;
    for (const Part& part : parts) {
        if (!part.crossNumber || part.crossNumber->isEmpty() ||
            !part.shortPartNumber.startsWith(searchNr, Qt::CaseInsensitive))
            continue;
        QString& kept = byUpper[part.crossNumber->toUpper()];
        if (kept.isEmpty() || *part.crossNumber < kept)
            kept = *part.crossNumber;
    }
    return byUpper.values();
}

} // namespace

class TestCrossSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void matchesBruteForce();
    void edgeCases_data();
    void edgeCases();
    void seesChanges_data();
    void seesChanges();
    void seesOwnTransaction();
    void newConnectionReadsItsOwnFile();
    void readsPriceAgainOnlyWhenItChanged_data();
    void readsPriceAgainOnlyWhenItChanged();
    void sparseRowIds_data();
    void sparseRowIds();

private:
    void insert(const std::vector<Part>& parts);
    // Runs change through the test's connection or through another one.
    void apply(bool otherConnection, const QString& change);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SQLite::Database> m_db;
    CrossIndex m_index;
};

void TestCrossSearch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    ClientFiles::create(m_dir->path());
    m_db = std::make_unique<SQLite::Database>(ClientFiles::databaseFileName(m_dir->path()).toStdString(),
                                              SQLite::OPEN_READWRITE);
}

void TestCrossSearch::cleanup()
{
    m_db.reset();
    m_dir.reset();
    m_index = CrossIndex();
}

void TestCrossSearch::apply(bool otherConnection, const QString& change)
{
    if (otherConnection) {
        SQLite::Database other(ClientFiles::databaseFileName(m_dir->path()).toStdString(),
                               SQLite::OPEN_READWRITE);
        other.exec(change.toStdString());
    } else {
        m_db->exec(change.toStdString());
    }
}

void TestCrossSearch::insert(const std::vector<Part>& parts)
{
    SQLite::Statement insert(*m_db, "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES (?, ?)");
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

void TestCrossSearch::matchesBruteForce()
{
    m_db.reset();
    SampleGenerator(4000, 11).writeDatabase(ClientFiles::databaseFileName(m_dir->path()));
    m_db = std::make_unique<SQLite::Database>(ClientFiles::databaseFileName(m_dir->path()).toStdString(),
                                              SQLite::OPEN_READWRITE);
    // Cross numbers in small letters too, so that case matters on that side as well.
    m_db->exec("UPDATE PRICE SET CROSSNUMBER = lower(CROSSNUMBER) WHERE rowid % 7 = 0");
    std::vector<Part> parts;
    SQLite::Statement all(*m_db, "SELECT SHORTPARTNUMBER, CROSSNUMBER FROM PRICE");
    while (all.executeStep())
        parts.push_back(
            {QString::fromUtf8(all.getColumn(0).getText()), QString::fromUtf8(all.getColumn(1).getText())});

    QRandomGenerator random(5);
    int cyrillic = 0, several = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const QString number = parts[random.bounded(int(parts.size()))].shortPartNumber;
        const QString searchNr = mixedCase(number.left(1 + random.bounded(int(number.size()))), random);
        const QStringList found = CrossSearch::find(*m_db, m_index, searchNr);
        QCOMPARE(found, oracle(parts, searchNr));
        cyrillic += searchNr.front().unicode() > 0x400;
        several += found.size() > 1;
    }
    // The draw must really cover what the search is about.
    QVERIFY(cyrillic > 20);
    QVERIFY(several > 50);
}

void TestCrossSearch::edgeCases_data()
{
    QTest::addColumn<QString>("searchNr");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty number finds nothing") << "" << QStringList{};
    QTest::newRow("missing and empty cross numbers skipped") << "NC" << QStringList{"K2"};
    QTest::newRow("one cross spelt two ways listed once") << "MIX" << QStringList{"AB1"};
    QTest::newRow("ukrainian letters ignore case") << "їЄі" << QStringList{"U1"};
    QTest::newRow("yo is not e") << "Ё" << QStringList{};
    QTest::newRow("sorted ignoring case") << "S" << QStringList{"a9", "B1", "c0"};
    QTest::newRow("like wildcard is a plain character") << "%" << QStringList{"P1"};
    QTest::newRow("quote in the number") << "O'" << QStringList{"Q1"};
    QTest::newRow("longer than every part number") << "MIX1234567890123456789012" << QStringList{};
    QTest::newRow("no match") << "ZZZ" << QStringList{};
}

void TestCrossSearch::edgeCases()
{
    QFETCH(QString, searchNr);
    QFETCH(QStringList, expected);
    insert({{"NC1", std::nullopt},
            {"NC2", QString()},
            {"nc3", "K2"},
            {"MIX1", "AB1"},
            {"mix2", "ab1"},
            {"ЇєІ5", "U1"},
            {"Е1", "E1"},
            {"S1", "c0"},
            {"s2", "B1"},
            {"S3", "a9"},
            {"%1", "P1"},
            {"O'1", "Q1"}});
    QCOMPARE(CrossSearch::find(*m_db, m_index, searchNr), expected);
}

void TestCrossSearch::seesChanges_data()
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
    for (const bool other : {true, false}) {
        const QByteArray through = other ? " through another connection" : " through the same connection";
        QTest::addRow("insert%s", through.data())
            << other << "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('ab3', 'X0')"
            << QStringList{"X0", "X1", "X2"};
        QTest::addRow("update%s", through.data())
            << other << "UPDATE PRICE SET CROSSNUMBER = 'W1' WHERE SHORTPARTNUMBER = 'AB1'"
            << QStringList{"W1", "X2"};
        QTest::addRow("delete%s", through.data())
            << other << "DELETE FROM PRICE WHERE SHORTPARTNUMBER = 'AB2'" << QStringList{"X1"};
        QTest::addRow("rowid reused%s", through.data()) << other << reuseRowId << QStringList{"V1", "X2"};
        // Counts no changed row: only the schema tells.
        QTest::addRow("table replaced%s", through.data())
            << other << replaceTable << QStringList{"NX1", "NX2"};
    }
}

void TestCrossSearch::seesChanges()
{
    QFETCH(bool, otherConnection);
    QFETCH(QString, change);
    QFETCH(QStringList, expected);
    insert({{"AB1", "X1"}, {"AB2", "X2"}, {"CD1", "Y1"}});
    QCOMPARE(CrossSearch::find(*m_db, m_index, "ab"), QStringList({"X1", "X2"}));
    apply(otherConnection, change);
    QCOMPARE(CrossSearch::find(*m_db, m_index, "ab"), expected);
    QCOMPARE(CrossSearch::find(*m_db, m_index, "CD"), QStringList{change.contains("'N'") ? "NY1" : "Y1"});
}

void TestCrossSearch::seesOwnTransaction()
{
    insert({{"AB1", "X1"}});
    m_db->exec("BEGIN");
    m_db->exec("UPDATE PRICE SET CROSSNUMBER = 'W1'");
    QCOMPARE(CrossSearch::find(*m_db, m_index, "AB"), QStringList{"W1"});
    m_db->exec("ROLLBACK");
    QCOMPARE(CrossSearch::find(*m_db, m_index, "AB"), QStringList{"X1"});
}

void TestCrossSearch::newConnectionReadsItsOwnFile()
{
    insert({{"AB1", "A1"}});
    m_db.reset();
    QTemporaryDir otherDir;
    ClientFiles::create(otherDir.path());
    {
        SQLite::Database other(ClientFiles::databaseFileName(otherDir.path()).toStdString(),
                               SQLite::OPEN_READWRITE);
        other.exec("INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('AB1', 'B1')");
    }
    // One index for all of them, as a session keeps it when it opens its file again.
    for (int round = 0; round < 5; ++round)
        for (const auto& [folder, cross] :
             {std::pair{m_dir->path(), "A1"}, std::pair{otherDir.path(), "B1"}}) {
            SQLite::Database db(ClientFiles::databaseFileName(folder).toStdString(), SQLite::OPEN_READONLY);
            QCOMPARE(CrossSearch::find(db, m_index, "AB"), QStringList{cross});
        }
}

void TestCrossSearch::readsPriceAgainOnlyWhenItChanged_data()
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

void TestCrossSearch::readsPriceAgainOnlyWhenItChanged()
{
    QFETCH(bool, otherConnection);
    QFETCH(QString, change);
    QFETCH(bool, readsAgain);
    insert({{"AB1", "X1"}, {"AB2", "X2"}});
    QCOMPARE(CrossSearch::find(*m_db, m_index, "AB"), QStringList({"X1", "X2"}));
    apply(otherConnection, change);
    // Every statement the connection runs from here on, as SQLite expands it.
    QStringList statements;
    sqlite3_trace_v2(
        m_db->getHandle(), SQLITE_TRACE_STMT,
        [](unsigned, void* list, void* statement, void*) {
            char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
            static_cast<QStringList*>(list)->append(QString::fromUtf8(sql));
            sqlite3_free(sql);
            return 0;
        },
        &statements);
    const QStringList found = CrossSearch::find(*m_db, m_index, "AB");
    sqlite3_trace_v2(m_db->getHandle(), 0, nullptr, nullptr);
    QCOMPARE(found, change.startsWith("DELETE") ? QStringList() : QStringList({"X1", "X2"}));
    QCOMPARE(!statements.filter("CROSSNUMBER FROM PRICE").isEmpty(), readsAgain);
}

void TestCrossSearch::sparseRowIds_data()
{
    QTest::addColumn<QList<qint64>>("rowIds");
    QTest::newRow("dense from one") << QList<qint64>{1, 2, 3, 4};
    QTest::newRow("gaps too wide for one slot per rowid") << QList<qint64>{10, 1000, 100000, 100001};
    QTest::newRow("huge rowids") << QList<qint64>{1, 4000000000, Q_INT64_C(1) << 62, INT64_MAX};
    QTest::newRow("negative rowids") << QList<qint64>{INT64_MIN, -5, 0, 7};
}

void TestCrossSearch::sparseRowIds()
{
    QFETCH(QList<qint64>, rowIds);
    SQLite::Statement insert(*m_db,
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
    QCOMPARE(CrossSearch::find(*m_db, m_index, "AB"), QStringList({"C0", "C1", "C3"}));
    for (int i = 0; i < rowIds.size(); ++i)
        QCOMPARE(CrossSearch::find(*m_db, m_index, "AB" + QString::number(i)),
                 i == 2 ? QStringList() : QStringList{"C" + QString::number(i)});
}

QTEST_GUILESS_MAIN(TestCrossSearch)
#include "TestCrossSearch.moc"
