#include "SampleGenerator.h"
#include "core/storage/PriceCatalogue.h"
#include "support/ClientFolder.h"

#include <QMap>
#include <QRandomGenerator>
#include <QTest>

#include <memory>
#include <optional>
#include <string>

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

QString asciiLower(QString text)
{
    for (QChar& ch : text)
        if (ch.unicode() < 0x80)
            ch = ch.toLower();
    return text;
}

} // namespace

// The cross numbers a search number finds, whatever keeps the price list.
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

private:
    void insert(const std::vector<Part>& parts);
    QStringList find(const QString& searchNr) { return m_folder->storage().catalogue().crossesOf(searchNr); }

    std::unique_ptr<ClientFolder> m_folder;
};

void TestCrossSearch::init()
{
    m_folder = std::make_unique<ClientFolder>();
}

void TestCrossSearch::cleanup()
{
    m_folder.reset();
}

void TestCrossSearch::insert(const std::vector<Part>& parts)
{
    std::string sql = "BEGIN;";
    for (const Part& part : parts)
        sql += "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES (" +
               ClientFolder::quoted(part.shortPartNumber) + ", " +
               (part.crossNumber ? ClientFolder::quoted(*part.crossNumber) : std::string("NULL")) + ");";
    m_folder->exec(sql + "COMMIT;");
}

void TestCrossSearch::matchesBruteForce()
{
    std::vector<Part> parts;
    SampleGenerator(4000, 11).forEachPart([&parts](const SampleGenerator::Part& part) {
        // Cross numbers in small letters too, so that case matters on that side as well.
        const bool small = (parts.size() + 1) % 7 == 0;
        parts.push_back({part.shortPartNumber, small ? asciiLower(part.crossNumber) : part.crossNumber});
    });
    insert(parts);

    QRandomGenerator random(5);
    int cyrillic = 0, several = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const QString number = parts[random.bounded(int(parts.size()))].shortPartNumber;
        const QString searchNr = mixedCase(number.left(1 + random.bounded(int(number.size()))), random);
        const QStringList found = find(searchNr);
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
    QTest::newRow("underscore and backslash") << "_\\" << QStringList{"P2"};
    QTest::newRow("quote in the number") << "O'" << QStringList{"Q1"};
    // No text is above all that begin with it: the range search cannot end it.
    QTest::newRow("ends in the last code point") << QString::fromUcs4(U"Z\U0010FFFF") << QStringList{"Z2"};
    QTest::newRow("ends below the surrogates") << QString::fromUcs4(U"Z\uD7FF") << QStringList{"Z3"};
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
            {"x%1", "P3"},
            {"_\\1", "P2"},
            {"a\\1", "P4"},
            {"O'1", "Q1"},
            {QString::fromUcs4(U"Z\U0010FFFF1"), "Z2"},
            {QString::fromUcs4(U"Z\uD7FF1"), "Z3"},
            {QString::fromUcs4(U"Z\uE0001"), "Z4"}});
    QCOMPARE(find(searchNr), expected);
}

// Another program changes the list between two searches.
void TestCrossSearch::seesChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("insert through another connection")
        << "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('ab3', 'X0')"
        << QStringList{"X0", "X1", "X2"};
    QTest::newRow("update through another connection")
        << "UPDATE PRICE SET CROSSNUMBER = 'W1' WHERE SHORTPARTNUMBER = 'AB1'" << QStringList{"W1", "X2"};
    QTest::newRow("delete through another connection")
        << "DELETE FROM PRICE WHERE SHORTPARTNUMBER = 'AB2'" << QStringList{"X1"};
}

void TestCrossSearch::seesChanges()
{
    QFETCH(QString, change);
    QFETCH(QStringList, expected);
    insert({{"AB1", "X1"}, {"AB2", "X2"}, {"CD1", "Y1"}});
    QCOMPARE(find("ab"), QStringList({"X1", "X2"}));
    m_folder->exec(change.toStdString());
    QCOMPARE(find("ab"), expected);
    QCOMPARE(find("CD"), QStringList{"Y1"});
}

QTEST_GUILESS_MAIN(TestCrossSearch)
#include "TestCrossSearch.moc"
