#include "core/storage/CrossMap.h"
#include "core/text/CaseFolding.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

// The cross numbers of parts, one spelling per cross number ignoring case,
// however the parts were handed over and however their row ids spread.
class TestCrossMap : public QObject
{
    Q_OBJECT

private slots:
    void rowIds_data();
    void rowIds();
    void crossIdsMatchRowIds_data();
    void crossIdsMatchRowIds();
};

namespace {

using Parts = std::vector<std::pair<int64_t, std::string>>;

// What a search answers, worked out the slow way: per cross number ignoring
// case its first spelling in binary order, ascending ignoring case.
QStringList expectedOf(const std::vector<std::string>& crosses)
{
    std::map<QString, std::string> spellings;
    for (const std::string& cross : crosses) {
        const QString folded = CaseFolding::upper(QString::fromStdString(cross));
        auto found = spellings.find(folded);
        if (found == spellings.end())
            spellings.emplace(folded, cross);
        else
            found->second = std::min(found->second, cross);
    }
    QStringList expected;
    for (const auto& [folded, spelling] : spellings)
        expected << QString::fromStdString(spelling);
    return expected;
}

// parts handed to add() in binary order of their cross numbers, as the engines read them.
void addSorted(CrossMap& map, Parts parts)
{
    std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    for (const auto& [rowId, cross] : parts)
        map.add(rowId, cross);
    map.finish();
}

} // namespace

void TestCrossMap::rowIds_data()
{
    QTest::addColumn<int64_t>("first");
    QTest::addColumn<int64_t>("step");
    QTest::addColumn<int64_t>("expected"); // -1: none told

    QTest::newRow("dense") << int64_t(1) << int64_t(1) << int64_t(-1);
    QTest::newRow("densetold") << int64_t(1) << int64_t(1) << int64_t(40);
    QTest::newRow("toldtoolow") << int64_t(1) << int64_t(1) << int64_t(10);
    QTest::newRow("sparse") << int64_t(5) << int64_t(1000) << int64_t(-1);
    QTest::newRow("sparsetold") << int64_t(5) << int64_t(1000) << int64_t(40000);
    QTest::newRow("huge") << int64_t(1) << (int64_t(1) << 40) << int64_t(-1);
    QTest::newRow("hugetold") << int64_t(1) << (int64_t(1) << 40) << (int64_t(1) << 50);
    QTest::newRow("negative") << int64_t(-20) << int64_t(1) << int64_t(-1);
}

void TestCrossMap::rowIds()
{
    QFETCH(int64_t, first);
    QFETCH(int64_t, step);
    QFETCH(int64_t, expected);
    const std::vector<std::string> crosses{"ab1", "AB1", "x2", "Ж3", "ж3", "X2", "q", "AB1", "Ab1", "zz"};
    Parts parts;
    for (size_t i = 0; i < crosses.size(); ++i)
        parts.emplace_back(first + int64_t(i) * step, crosses[i]);
    CrossMap map;
    // Filled twice, as a catalogue reads its list again.
    for (int round = 0; round < 2; ++round) {
        map.clear();
        if (expected >= 0)
            map.expectRowIds(expected);
        addSorted(map, parts);
    }
    std::vector<int64_t> all;
    for (const auto& part : parts)
        all.push_back(part.first);
    all.push_back(first + 11 * step); // no such part
    QCOMPARE(map.crossesOf(all), expectedOf(crosses));
    QCOMPARE(map.crossesOf({parts[3].first, parts[5].first}), (QStringList{"X2", "Ж3"}));
    QCOMPARE(map.crossesOf({first - step, first + 40 * step}), QStringList());
}

void TestCrossMap::crossIdsMatchRowIds_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("latin") << QStringLiteral("aAbB1") << 4;
    // Past the eight bytes that settle most comparisons.
    QTest::newRow("long") << QStringLiteral("aAB") << 12;
    QTest::newRow("cyrillic") << QStringLiteral("жЖaAÄ1") << 10;
    QTest::newRow("beyondbmp") << QStringLiteral("a\U0001F600\uFB01A") << 10;
}

void TestCrossMap::crossIdsMatchRowIds()
{
    QFETCH(QString, alphabet);
    QFETCH(int, maxLength);
    const QList<uint> letters = alphabet.toUcs4();
    std::mt19937 random(27);
    Parts parts;
    for (int64_t rowId = 0; rowId < 3000; ++rowId) {
        std::u32string cross;
        for (int length = 1 + int(random() % uint32_t(maxLength)); length > 0; --length)
            cross += char32_t(letters[qsizetype(random() % uint32_t(letters.size()))]);
        parts.emplace_back(rowId, QString::fromStdU32String(cross).toStdString());
    }
    CrossMap byRowId;
    addSorted(byRowId, parts);
    // In the order the parts come, each kept by its cross id.
    CrossMap byCrossId;
    std::vector<uint32_t> crossIds;
    for (const auto& part : parts)
        crossIds.push_back(uint32_t(byCrossId.addCross(part.second)));
    byCrossId.finish();
    const std::vector<int32_t> renumbering = byCrossId.takeRenumbering();
    for (uint32_t& id : crossIds)
        id = uint32_t(renumbering[id]);

    for (int lookup = 0; lookup < 50; ++lookup) {
        std::vector<int64_t> rowIds;
        std::vector<uint32_t> ids;
        std::vector<std::string> crosses;
        for (int64_t rowId = int64_t(random() % 50); rowId < 3000; rowId += 1 + int64_t(random() % 100)) {
            rowIds.push_back(rowId);
            ids.push_back(crossIds[size_t(rowId)]);
            crosses.push_back(parts[size_t(rowId)].second);
        }
        const QStringList expected = expectedOf(crosses);
        QCOMPARE(byRowId.crossesOf(rowIds), expected);
        byCrossId.markIds(ids.data(), ids.data() + ids.size() / 2);
        byCrossId.markIds(ids.data() + ids.size() / 2, ids.data() + ids.size());
        QCOMPARE(byCrossId.takeMarked(), expected);
    }
}

QTEST_GUILESS_MAIN(TestCrossMap)
#include "TestCrossMap.moc"
