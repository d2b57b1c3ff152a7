#include "SampleGenerator.h"
#include "data/ClientFiles.h"
#include "search/CrossSearch.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

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

private:
    void insert(const std::vector<Part>& parts);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SQLite::Database> m_db;
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
        const QStringList found = CrossSearch::find(*m_db, searchNr);
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
    QCOMPARE(CrossSearch::find(*m_db, searchNr), expected);
}

QTEST_GUILESS_MAIN(TestCrossSearch)
#include "TestCrossSearch.moc"
