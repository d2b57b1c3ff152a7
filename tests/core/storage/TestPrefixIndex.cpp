#include "core/storage/PrefixIndex.h"
#include "core/storage/PrefixIndexFeed.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

// The values of the keys that begin with a prefix, whatever the keys share,
// however short, and wherever their blocks and buckets begin and end.
class TestPrefixIndex : public QObject
{
    Q_OBJECT

private slots:
    void rangeOf_data();
    void rangeOf();
    void matchesScan_data();
    void matchesScan();
    void feedLeftUnfinished();
};

namespace {

using Keys = std::vector<std::string>;

std::vector<uint32_t> found(const PrefixIndex& index, const std::string& prefix)
{
    std::vector<uint32_t> values;
    index.valuesOf(index.rangeOf(prefix), [&values](const uint32_t* first, const uint32_t* last) {
        values.insert(values.end(), first, last);
    });
    return values;
}

// Each key's value is its place in keys; fed, the keys are folded first,
// which leaves these keys as they are.
PrefixIndex indexOf(const Keys& keys, bool fed = false)
{
    PrefixIndex index;
    if (fed) {
        PrefixIndexFeed feed(index);
        for (size_t i = 0; i < keys.size(); ++i)
            feed.add(uint32_t(i), keys[i]);
        feed.finish();
        feed.wait();
        return index;
    }
    for (size_t i = 0; i < keys.size(); ++i)
        index.add(uint32_t(i), keys[i]);
    index.finish();
    return index;
}

// The values of the keys that begin with prefix, in no order.
std::vector<uint32_t> scanned(const Keys& keys, const std::string& prefix)
{
    std::vector<uint32_t> values;
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i].compare(0, prefix.size(), prefix) == 0)
            values.push_back(uint32_t(i));
    return values;
}

} // namespace

void TestPrefixIndex::rangeOf_data()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<std::string>("prefix");
    QTest::addColumn<std::vector<uint32_t>>("expected");

    const Keys shortKeys{"AB", "", "A", "ABC", "B", "A"};
    QTest::newRow("emptyprefix") << shortKeys << std::string() << std::vector<uint32_t>{1, 2, 5, 0, 3, 4};
    QTest::newRow("onebyte") << shortKeys << std::string("A") << std::vector<uint32_t>{2, 5, 0, 3};
    QTest::newRow("wholekey") << shortKeys << std::string("ABC") << std::vector<uint32_t>{3};
    QTest::newRow("longerthanallkeys") << shortKeys << std::string("ABCD") << std::vector<uint32_t>{};
    QTest::newRow("beforeall") << Keys{"B", "C"} << std::string("A") << std::vector<uint32_t>{};
    QTest::newRow("afterall") << Keys{"B", "C"} << std::string("D") << std::vector<uint32_t>{};
    QTest::newRow("nulbyte") << Keys{std::string("A\0B", 3), "A", std::string("A\0", 2)} << std::string("A")
                             << std::vector<uint32_t>{1, 2, 0};
    QTest::newRow("cyrillic") << Keys{"ЖА1", "ЖБ2", "Ж", "ZZ"} << std::string("Ж")
                              << std::vector<uint32_t>{2, 0, 1};
    QTest::newRow("highbytes") << Keys{"\xff\xff", "\xff", "\xfe\xff\xff"} << std::string("\xff")
                               << std::vector<uint32_t>{1, 0};
    QTest::newRow("none") << Keys{} << std::string("A") << std::vector<uint32_t>{};
}

void TestPrefixIndex::rangeOf()
{
    QFETCH(Keys, keys);
    QFETCH(std::string, prefix);
    QFETCH(std::vector<uint32_t>, expected);
    const PrefixIndex index = indexOf(keys);
    std::vector<uint32_t> values = found(index, prefix);
    // Equal keys come in any order.
    for (size_t i = 0; i + 1 < values.size(); ++i)
        if (keys[values[i]] == keys[values[i + 1]] && values[i] > values[i + 1])
            std::swap(values[i], values[i + 1]);
    QCOMPARE(values, expected);
}

void TestPrefixIndex::matchesScan_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<bool>("nearlySorted");
    // Few letters: long shared beginnings, many equal keys, blocks and value
    // chunks ending inside the range of a prefix.
    QTest::newRow("shared") << 40000 << QStringLiteral("AB0") << false;
    QTest::newRow("mixed") << 5000 << QStringLiteral("AZ09-ЖЯ") << false;
    QTest::newRow("oneblock") << 7 << QStringLiteral("AB") << false;
    // As read from an index: most keys go straight in, the rest are merged
    // in among them across many chunks.
    QTest::newRow("nearlysorted") << 200000 << QStringLiteral("AZ09-ЖЯ") << true;
    // Upper case only, as folding leaves them.
    QTest::newRow("fed") << 100000 << QStringLiteral("AZ09-ЖЯ") << true;
}

void TestPrefixIndex::matchesScan()
{
    QFETCH(int, count);
    QFETCH(QString, alphabet);
    QFETCH(bool, nearlySorted);
    const QStringList letters = alphabet.split(QString(), Qt::SkipEmptyParts);
    std::mt19937 random(27);
    Keys keys;
    for (int i = 0; i < count; ++i) {
        QString key;
        for (int length = int(random() % 9); length > 0; --length)
            key += letters[qsizetype(random() % letters.size())];
        keys.push_back(key.toStdString());
    }
    if (nearlySorted) {
        std::sort(keys.begin(), keys.end());
        for (size_t i = 0; i < keys.size(); i += 10)
            std::swap(keys[i], keys[random() % keys.size()]);
    }
    const PrefixIndex index = indexOf(keys, QByteArray(QTest::currentDataTag()) == "fed");
    QCOMPARE(index.size(), keys.size());
    for (int i = 0; i < 300; ++i) {
        const std::string& key = keys[random() % keys.size()];
        const std::string prefix = key.substr(0, random() % (key.size() + 2));
        std::vector<uint32_t> values = found(index, prefix);
        std::vector<uint32_t> expected = scanned(keys, prefix);
        QVERIFY2(std::is_sorted(values.begin(), values.end(),
                                [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; }),
                 prefix.c_str());
        std::sort(values.begin(), values.end());
        QVERIFY2(values == expected, prefix.c_str());
    }
}

// A reader that fails half-way drops its feed: the thread stops, and
// nothing hangs or is left running.
void TestPrefixIndex::feedLeftUnfinished()
{
    PrefixIndex index;
    {
        PrefixIndexFeed feed(index);
        for (uint32_t i = 0; i < 100000; ++i)
            feed.add(i, std::to_string(i));
    }
}

QTEST_GUILESS_MAIN(TestPrefixIndex)
#include "TestPrefixIndex.moc"
