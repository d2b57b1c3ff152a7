#include "core/storage/CrossMap.h"
#include "core/text/CaseFolding.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

// The cross numbers of parts, one spelling per cross number ignoring case,
// in whatever order the parts come.
class TestCrossMap : public QObject
{
    Q_OBJECT

private slots:
    void crossesOf_data();
    void crossesOf();
    void matchesSlowWay_data();
    void matchesSlowWay();
};

namespace {

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

// The map of crosses, one part each, and the ids of the parts.
std::vector<uint32_t> fill(CrossMap& map, const std::vector<std::string>& crosses)
{
    map.clear();
    std::vector<uint32_t> ids;
    for (const std::string& cross : crosses)
        ids.push_back(uint32_t(map.addCross(cross)));
    map.finish();
    const std::vector<int32_t> renumbering = map.takeRenumbering();
    for (uint32_t& id : ids)
        id = uint32_t(renumbering[id]);
    return ids;
}

QStringList lookUp(CrossMap& map, const std::vector<uint32_t>& ids)
{
    // In two pieces, as a lookup may hand them over.
    map.markIds(ids.data(), ids.data() + ids.size() / 2);
    map.markIds(ids.data() + ids.size() / 2, ids.data() + ids.size());
    return map.takeMarked();
}

} // namespace

void TestCrossMap::crossesOf_data()
{
    QTest::addColumn<std::vector<std::string>>("crosses");
    QTest::addColumn<QStringList>("expected");

    const std::vector<std::string> mixed{"ab1", "AB1", "x2", "Ж3", "ж3", "X2", "q", "AB1", "Ab1", "zz"};
    const QStringList expected{"AB1", "q", "X2", "zz", "Ж3"};
    QTest::newRow("mixed") << mixed << expected;
    QTest::newRow("reversed") << std::vector<std::string>(mixed.rbegin(), mixed.rend()) << expected;
    std::vector<std::string> sorted = mixed;
    std::sort(sorted.begin(), sorted.end());
    QTest::newRow("binaryorder") << sorted << expected;
    // Already in the order of the lookups, spellings together, one coming
    // again at the end: kept where they are, with nothing sorted.
    QTest::newRow("foldedorder") << std::vector<std::string>{"AB1", "Ab1", "ab1", "Q",
                                                             "X2",  "x2",  "ZZ",  "Ab1"}
                                 << QStringList{"AB1", "Q", "X2", "ZZ"};
    // Beyond the eight bytes a sort compares first, and beyond ASCII there.
    QTest::newRow("longsharedstart") << std::vector<std::string>{"ABCDEFGHÄ", "abcdefghz", "ABCDEFGH", "ABCÄ",
                                                                 "ABCZ"}
                                     << QStringList{"ABCDEFGH", "abcdefghz", "ABCDEFGHÄ", "ABCZ", "ABCÄ"};
    QTest::newRow("none") << std::vector<std::string>{} << QStringList{};
}

void TestCrossMap::crossesOf()
{
    QFETCH(std::vector<std::string>, crosses);
    QFETCH(QStringList, expected);
    CrossMap map;
    // Filled twice, as a catalogue reads its list again.
    fill(map, {"old", "OLD"});
    const std::vector<uint32_t> ids = fill(map, crosses);
    QCOMPARE(lookUp(map, ids), expected);
    // The bits of a lookup are cleared for the next.
    QCOMPARE(lookUp(map, {}), QStringList());
    if (!ids.empty())
        QCOMPARE(lookUp(map, {ids.front()}), expectedOf({crosses.front()}));
}

void TestCrossMap::matchesSlowWay_data()
{
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("latin") << QStringLiteral("aAbB1") << 4;
    // Past the eight bytes that settle most comparisons.
    QTest::newRow("long") << QStringLiteral("aAB") << 12;
    QTest::newRow("cyrillic") << QStringLiteral("жЖaAÄ1") << 10;
    QTest::newRow("beyondbmp") << QStringLiteral("a\U0001F600\uFB01A") << 10;
}

void TestCrossMap::matchesSlowWay()
{
    QFETCH(QString, alphabet);
    QFETCH(int, maxLength);
    const QList<uint> letters = alphabet.toUcs4();
    std::mt19937 random(27);
    std::vector<std::string> crosses;
    for (int part = 0; part < 3000; ++part) {
        std::u32string cross;
        for (int length = 1 + int(random() % uint32_t(maxLength)); length > 0; --length)
            cross += char32_t(letters[qsizetype(random() % uint32_t(letters.size()))]);
        crosses.push_back(QString::fromStdU32String(cross).toStdString());
    }
    CrossMap map;
    const std::vector<uint32_t> ids = fill(map, crosses);
    for (int lookup = 0; lookup < 50; ++lookup) {
        std::vector<uint32_t> found;
        std::vector<std::string> foundCrosses;
        for (size_t part = random() % 50; part < crosses.size(); part += 1 + random() % 100) {
            found.push_back(ids[part]);
            foundCrosses.push_back(crosses[part]);
        }
        QCOMPARE(lookUp(map, found), expectedOf(foundCrosses));
    }
}

QTEST_GUILESS_MAIN(TestCrossMap)
#include "TestCrossMap.moc"
