#include "core/sqlite/BulkInsert.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kColumns = 4;

// Record i: a text (NULL every fifth), a real, an integer, a text long enough
// to live outside std::string's own buffer.
std::vector<BulkInsert::Value> makeRecords(int count)
{
    std::vector<BulkInsert::Value> values;
    for (int i = 0; i < count; ++i) {
        if (i % 5 == 4)
            values.emplace_back(std::monostate());
        else
            values.emplace_back(std::string("code") + std::to_string(i));
        values.emplace_back(i + 0.25);
        values.emplace_back(qint64(i) * 1000);
        values.emplace_back(std::string(40, char('a' + i % 26)) + std::to_string(i));
    }
    return values;
}

QString render(const SQLite::Column& column)
{
    return column.isNull() ? QStringLiteral("NULL") : QString::fromStdString(column.getString());
}

} // namespace

class TestBulkInsert : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void insertsInOrder_data();
    void insertsInOrder();
    void failureNamesTheConstraint();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SQLite::Database> m_db;
};

void TestBulkInsert::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = std::make_unique<SQLite::Database>(m_dir->filePath("t.db").toStdString(),
                                              SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    m_db->exec("PRAGMA synchronous=OFF");
    m_db->exec("CREATE TABLE T (CODE TEXT(15), PRICE SINGLE, QTY SHORT NOT NULL, NAME TEXT(60))");
}

void TestBulkInsert::insertsInOrder_data()
{
    QTest::addColumn<int>("count");

    const int many = int(BulkInsert::kRecordsPerStatement);
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("one short of a full statement") << many - 1;
    QTest::newRow("one full statement") << many;
    QTest::newRow("two full statements and a remainder") << 2 * many + 5;
}

void TestBulkInsert::insertsInOrder()
{
    QFETCH(int, count);
    const std::vector<BulkInsert::Value> values = makeRecords(count);
    BulkInsert insert(m_db->getHandle(), "T", kColumns);
    insert.insert(values.data(), size_t(count));

    SQLite::Statement query(
        *m_db, "SELECT CODE, typeof(PRICE), PRICE, typeof(QTY), QTY, NAME FROM T ORDER BY rowid");
    int row = 0;
    while (query.executeStep()) {
        const auto& code = values[size_t(row * kColumns)];
        QCOMPARE(render(query.getColumn(0)), code.index() == 0
                                                 ? QStringLiteral("NULL")
                                                 : QString::fromStdString(std::get<std::string>(code)));
        QCOMPARE(query.getColumn(1).getString(), std::string("real"));
        QCOMPARE(query.getColumn(2).getDouble(), row + 0.25);
        QCOMPARE(query.getColumn(3).getString(), std::string("integer"));
        QCOMPARE(query.getColumn(4).getInt64(), qint64(row) * 1000);
        QCOMPARE(query.getColumn(5).getString(), std::get<std::string>(values[size_t(row * kColumns + 3)]));
        ++row;
    }
    QCOMPARE(row, count);
}

void TestBulkInsert::failureNamesTheConstraint()
{
    std::vector<BulkInsert::Value> values = makeRecords(40);
    values[size_t(37 * kColumns + 2)] = std::monostate();
    BulkInsert insert(m_db->getHandle(), "T", kColumns);
    try {
        insert.insert(values.data(), 40);
        QFAIL("no error");
    } catch (const SQLite::Exception& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("NOT NULL constraint failed: T.QTY"), error.what());
    }
    // The statements are reset: the connection takes the next one.
    m_db->exec("DELETE FROM T");
    insert.insert(values.data(), 2);
    QCOMPARE(m_db->execAndGet("SELECT count(*) FROM T").getInt(), 2);
}

QTEST_GUILESS_MAIN(TestBulkInsert)
#include "TestBulkInsert.moc"
