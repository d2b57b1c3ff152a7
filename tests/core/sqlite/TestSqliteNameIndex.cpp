#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/SqliteNameIndex.h"
#include "core/storage/NameIndex.h"
#include "core/text/NameWords.h"
#include "support/ClientFolder.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>

// The name index of Tardesk.mdb on generated lists, against the matching
// and ordering rules worked out plainly over every part: built for a list
// made without it (over several rows of the order), kept by compaction,
// made anew by an update; within smaller bounds of memory, the same index
// by other ways.
class TestSqliteNameIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void builtForAnOldList();
    void matchesThePlainRules_data();
    void matchesThePlainRules();
    void sameWithinAnyBounds_data();
    void sameWithinAnyBounds();
    void compactionKeepsIt();
    void updateMakesItAnew();

private:
    void compare(const QString& typed);
    // "PARTNUMBER/GROUPCODE" of every part matching typed, read from PRICE.
    QStringList expected(const QString& typed) const;

    std::unique_ptr<ClientFolder> m_folder;
};

void TestSqliteNameIndex::initTestCase()
{
    m_folder = std::make_unique<ClientFolder>();
    SampleGenerator(40000, 7).writeDatabase(m_folder->databaseFileName());
    // A file edited by another program may number its rows past 32 bits.
    m_folder->exec("UPDATE PRICE SET rowid = rowid + 5000000000 WHERE rowid % 7 = 0");
}

QStringList TestSqliteNameIndex::expected(const QString& typed) const
{
    const QStringList query = NameWords::query(typed);
    struct Part
    {
        std::tuple<QList<uint>, QList<uint>, QList<uint>, qint64> order;
        QString shown;
    };
    std::vector<Part> parts;
    SQLite::Database db(m_folder->databaseFileName().toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement rows(db, "SELECT rowid, PARTNAME, PARTNUMBER, GROUPCODE FROM PRICE");
    while (!query.isEmpty() && rows.executeStep()) {
        const QString name = QString::fromUtf8(rows.getColumn(1).getText());
        const QString number = QString::fromUtf8(rows.getColumn(2).getText());
        const QString group = QString::fromUtf8(rows.getColumn(3).getText());
        const QStringList words = NameWords::indexed(name).split(QLatin1Char(' '));
        const bool matches = std::all_of(query.begin(), query.end(), [&](const QString& typedWord) {
            return std::any_of(words.begin(), words.end(),
                               [&](const QString& word) { return word.startsWith(typedWord); });
        });
        if (matches)
            parts.push_back({{NameWords::orderKey(name).toUcs4(), number.toUcs4(), group.toUcs4(),
                              rows.getColumn(0).getInt64()},
                             number + QLatin1Char('/') + group});
    }
    std::sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.order < b.order; });
    QStringList shown;
    for (const Part& part : parts)
        shown << part.shown;
    return shown;
}

void TestSqliteNameIndex::compare(const QString& typed)
{
    const NameIndex::Found found = m_folder->storage().names().find(NameWords::query(typed), -1);
    QStringList shown;
    for (const NameIndex::Match& match : found.shown)
        shown << match.part.partNumber + QLatin1Char('/') + match.part.groupCode;
    const QStringList plain = expected(typed);
    QCOMPARE(shown, plain);
    QCOMPARE(found.total, plain.size());
}

void TestSqliteNameIndex::builtForAnOldList()
{
    NameIndex& names = m_folder->storage().names();
    QVERIFY(!names.isBuilt());
    QVERIFY_THROWS_EXCEPTION(Error, names.find(NameWords::query(u"фильтр"), 10));

    qint64 lastDone = 0, lastTotal = 0;
    PriceListRebuild::Listener listener;
    listener.progress = [&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
    };
    m_folder->storage().buildNameIndex(listener);
    QVERIFY(lastTotal > 0 && lastDone <= lastTotal);
    QVERIFY(m_folder->storage().names().isBuilt());
}

void TestSqliteNameIndex::matchesThePlainRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("a common word") << "фильтр";
    QTest::newRow("two-letter beginnings") << "ко пе";
    QTest::newRow("a word with digits after a space") << "ваз 21";
    QTest::newRow("letters and digits in one word") << "w124";
    QTest::newRow("latin in capitals") << "GOLF iv";
    QTest::newRow("words of one phrase") << "нат рол";
    QTest::newRow("one-letter words with a longer one") << "фи г 3";
    QTest::newRow("nothing") << "колодки 99";
}

void TestSqliteNameIndex::matchesThePlainRules()
{
    QFETCH(QString, typed);
    compare(typed);
    QVERIFY(!expected(typed).isEmpty() || QTest::currentDataTag() == QLatin1String("nothing"));
}

namespace {

// Every row of the name index in the tables of prefix, as stored.
QList<QByteArray> indexRows(SQLite::Database& db, const std::string& prefix)
{
    QList<QByteArray> rows;
    for (const char* table : {"PART_NAME_WORDS", "PART_NAME_ORDER"}) {
        SQLite::Statement all(db, "SELECT * FROM " + prefix + table + " ORDER BY 1");
        while (all.executeStep()) {
            const SQLite::Column key = all.getColumn(0);
            const SQLite::Column parts = all.getColumn(1);
            rows << QByteArray(key.getText(), key.getBytes()) + '=' +
                        QByteArray(static_cast<const char*>(parts.getBlob()), parts.getBytes()).toHex();
        }
    }
    return rows;
}

// Builds the index of prefix anew; the last progress told, as done and total.
std::pair<qint64, qint64> buildIndex(SQLite::Database& db, const std::string& prefix,
                                     const SqliteNameIndex::Bounds& bounds)
{
    std::pair<qint64, qint64> told;
    PriceListRebuild::Listener listener;
    listener.progress = [&told](qint64 done, qint64 total) { told = {done, total}; };
    db.exec("BEGIN");
    for (const char* table : {"PART_NAME_WORDS", "PART_NAME_ORDER"})
        db.exec("DROP TABLE IF EXISTS " + prefix + table);
    SqliteNameIndex::build(db, listener, prefix, bounds);
    db.exec("COMMIT");
    return told;
}

// Names whose keys or words take care: composed and decomposed letters,
// letters that fold to two, zero and one bytes, no name at all; one of the
// list's own names in capitals, so that it shares a key with others.
void addOddNames(SQLite::Database& db)
{
    const QString listed = QString::fromUtf8(db.execAndGet("SELECT PARTNAME FROM PRICE LIMIT 1").getText());
    const std::vector<std::string> names = {"ᾳ ΑΙ",
                                            "α\u0345 ωι",
                                            "Ёлка ЁЖИК",
                                            "ёлка ежик",
                                            "éclair ÉCLAIR",
                                            "e\u0301clair",
                                            "STRASSE straße",
                                            "µm MM",
                                            "Ǆemal ǆ",
                                            "\u212Aelvin kelvin",
                                            std::string("a\0b c", 5),
                                            std::string("\1x \1", 4),
                                            "",
                                            listed.toUpper().toStdString()};
    SQLite::Statement insert(db, "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, PARTNAME) VALUES (?, ?, ?)");
    for (size_t i = 0; i <= names.size(); ++i) {
        for (const char* number : {"N1", "", static_cast<const char*>(nullptr)}) {
            for (const char* group : {"G1", static_cast<const char*>(nullptr)}) {
                group ? insert.bind(1, group) : insert.bind(1);
                number ? insert.bind(2, number) : insert.bind(2);
                i < names.size() ? insert.bind(3, names[i]) : insert.bind(3);
                insert.exec();
                insert.reset();
            }
        }
    }
}

} // namespace

void TestSqliteNameIndex::sameWithinAnyBounds_data()
{
    QTest::addColumn<qint64>("keptNames");
    QTest::addColumn<qint64>("bucketParts");
    QTest::addColumn<qint64>("wordPartsBytes");
    QTest::addColumn<qint64>("partBytes");
    QTest::addColumn<QString>("prefix");
    const SqliteNameIndex::Bounds bounds;
    const auto kept = qint64(bounds.keptNames);
    const auto words = qint64(bounds.wordPartsBytes);
    const auto parts = qint64(bounds.partBytes);
    QTest::newRow("sorted by SQLite") << qint64(1) << bounds.bucketParts << words << parts << QString();
    QTest::newRow("one place a bucket") << kept << qint64(1) << words << parts << QString();
    QTest::newRow("words' parts in a run each")
        << kept << bounds.bucketParts << qint64(0) << parts << QString();
    QTest::newRow("sorted, words' parts in runs")
        << qint64(1) << bounds.bucketParts << qint64(4096) << parts << QString();
    // The parts of a bucket come back from memory and the table mixed.
    QTest::newRow("parts read and bucketed in temporary tables")
        << kept << qint64(4096) << words << qint64(1) << QString();
    QTest::newRow("parts partly in temporary tables")
        << kept << bounds.bucketParts << words << qint64(600000) << QString();
    QTest::newRow("into the tables of a prefix") << kept << bounds.bucketParts << words << parts << "NEW_";
    QTest::newRow("sorted into the tables of a prefix")
        << qint64(1) << bounds.bucketParts << words << parts << "NEW_";
}

void TestSqliteNameIndex::sameWithinAnyBounds()
{
    QFETCH(qint64, keptNames);
    QFETCH(qint64, bucketParts);
    QFETCH(qint64, wordPartsBytes);
    QFETCH(qint64, partBytes);
    QFETCH(QString, prefix);
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.mdb"));
    QVERIFY(QFile::copy(m_folder->databaseFileName(), copy));
    SQLite::Database db(copy.toStdString(), SQLite::OPEN_READWRITE);
    addOddNames(db);
    buildIndex(db, {}, SqliteNameIndex::Bounds());
    const QList<QByteArray> expected = indexRows(db, {});

    const std::string tables = prefix.toStdString();
    if (!prefix.isEmpty()) {
        // The list in use differs: the index must be of the new one.
        db.exec("CREATE TABLE " + tables + "PRICE AS SELECT * FROM PRICE WHERE 0");
        db.exec("INSERT INTO " + tables + "PRICE (rowid, GROUPCODE, PARTNUMBER, PARTNAME) " +
                "SELECT rowid, GROUPCODE, PARTNUMBER, PARTNAME FROM PRICE");
        db.exec("DELETE FROM PRICE WHERE rowid % 2 = 0");
    }
    SqliteNameIndex::Bounds bounds;
    bounds.keptNames = size_t(keptNames);
    bounds.bucketParts = bucketParts;
    bounds.wordPartsBytes = size_t(wordPartsBytes);
    bounds.partBytes = size_t(partBytes);
    const auto [done, total] = buildIndex(db, tables, bounds);
    QCOMPARE(total, db.execAndGet("SELECT count(*) FROM " + tables + "PRICE").getInt64());
    QVERIFY(done > 0 && done <= total);
    const QList<QByteArray> built = indexRows(db, tables);
    QCOMPARE(built.size(), expected.size());
    QCOMPARE(built, expected);
    // Nothing is left behind that a next build would trip over.
    QCOMPARE(db.execAndGet("SELECT count(*) FROM temp.sqlite_master").getInt(), 0);
}

void TestSqliteNameIndex::compactionKeepsIt()
{
    m_folder->close();
    DatabaseLock lock(m_folder->path());
    DatabaseCompactor::CompactClientDatabase(m_folder->path(), QString(), lock);
    QVERIFY(m_folder->storage().names().isBuilt());
    compare(QStringLiteral("колодки зад"));
}

void TestSqliteNameIndex::updateMakesItAnew()
{
    SampleGenerator(500, 9).writeTextFiles(m_folder->path());
    m_folder->update();
    compare(QStringLiteral("фильтр"));
    compare(QStringLiteral("ли ла"));
}

QTEST_GUILESS_MAIN(TestSqliteNameIndex)
#include "TestSqliteNameIndex.moc"
