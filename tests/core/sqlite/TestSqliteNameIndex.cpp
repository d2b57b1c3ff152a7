#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/storage/NameIndex.h"
#include "core/text/NameWords.h"
#include "support/ClientFolder.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QTest>

#include <algorithm>
#include <memory>
#include <tuple>

// The name index of Tardesk.mdb on generated lists, against the matching
// and ordering rules worked out plainly over every part: built for a list
// made without it (over several rows of the order), kept by compaction,
// made anew by an update.
class TestSqliteNameIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void builtForAnOldList();
    void matchesThePlainRules_data();
    void matchesThePlainRules();
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
