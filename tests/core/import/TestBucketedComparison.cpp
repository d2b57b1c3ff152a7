#include "core/errors/Error.h"
#include "core/import/PriceListComparison.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

// The comparison split into buckets that wait in temporary files finds
// exactly what it finds with both lists in memory, and leaves no file behind.
class TestBucketedComparison : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sameAsInMemory_data();
    void sameAsInMemory();
    void noFileLeftAfterFailure();

private:
    QTemporaryDir* m_temp = nullptr;
    QByteArray m_savedTmpDir;
};

namespace {

struct Part
{
    std::string number;
    std::string group;
    std::optional<double> price;
};

// A replaced list the rebuild reads, and what the comparison stores; failAt:
// the reading fails at that part.
class FakeRebuild : public PriceListRebuild
{
public:
    std::vector<Part> previous;
    qint64 failAt = -1;
    std::vector<Change> changes;
    std::vector<qint64> removed;

    void begin(bool) override {}
    qint64 previousCount() override { return qint64(previous.size()); }
    void visitPrevious(const std::function<void(const PreviousPart&)>& visit) override
    {
        for (size_t i = 0; i < previous.size(); ++i) {
            if (qint64(i) == failAt)
                throw Error(QStringLiteral("read failed"));
            visit({qint64(i) + 1, previous[i].number, previous[i].group, previous[i].price});
        }
    }
    void createParts() override {}
    void appendParts(const FieldValue*, size_t) override {}
    void storeChanges(const std::vector<Change>& stored, const std::vector<qint64>& gone) override
    {
        changes = stored;
        removed = gone;
    }
    void indexParts() override {}
    void indexNames() override {}
    void createGroups() override {}
    void appendGroups(const FieldValue*, size_t) override {}
    std::optional<std::vector<QString>> groupCodes() override { return std::nullopt; }
    void addGroup(const QString&, const QString&) override {}
    void stampPriceDate(const QDate&) override {}
    void commit() override {}
};

// Lists that meet every rule: case, repeated numbers the group tells apart,
// ambiguous repeats, new, removed, changed and missing prices.
std::pair<std::vector<Part>, std::vector<Part>> lists(int count)
{
    std::vector<Part> before;
    std::vector<Part> after;
    for (int i = 0; i < count; ++i) {
        const std::string number = (i % 3 ? "ab-" : "Жк-") + std::to_string(i / 4);
        const std::string group = "G" + std::to_string(i % 4 < 2 ? i % 7 : 0);
        const double price = 10 + i % 13;
        if (i % 17 != 0)
            before.push_back({number, group, i % 19 ? std::optional<double>(price) : std::nullopt});
        std::string spelled = number;
        if (i % 5 == 0)
            spelled = i % 3 ? "AB-" + std::to_string(i / 4) : "жК-" + std::to_string(i / 4);
        if (i % 23 != 0)
            after.push_back({spelled, group, price + (i % 11) - 5});
    }
    return {before, after};
}

struct Result
{
    PriceListComparison::Counts counts;
    std::vector<std::tuple<qint64, int, std::optional<double>>> changes;
    std::vector<qint64> removed;
    qint64 spilled = 0;
    bool fileVisible = false;
};

Result compare(const std::vector<Part>& before, const std::vector<Part>& after, size_t memoryLimit)
{
    FakeRebuild rebuild;
    rebuild.previous = before;
    PriceListComparison comparison;
    comparison.setMemoryLimit(memoryLimit);
    comparison.readOld(rebuild);
    for (size_t i = 0; i < after.size(); ++i)
        comparison.addNew(qint64(i) + 1, after[i].number, after[i].group, after[i].price);
    Result result;
    // Whatever is written has no name on disk, even while in use.
    result.fileVisible = !QDir(QDir::tempPath()).isEmpty();
    result.counts = comparison.store(rebuild);
    for (const auto& change : rebuild.changes)
        result.changes.emplace_back(change.part, int(change.kind), change.oldPrice);
    result.removed = rebuild.removed;
    result.spilled = comparison.spilledBytes();
    return result;
}

} // namespace

void TestBucketedComparison::init()
{
    m_temp = new QTemporaryDir;
    QVERIFY(m_temp->isValid());
    m_savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(m_temp->path()));
}

void TestBucketedComparison::cleanup()
{
    qputenv("TMPDIR", m_savedTmpDir);
    delete m_temp;
    m_temp = nullptr;
}

void TestBucketedComparison::sameAsInMemory_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("memoryLimit");
    QTest::addColumn<bool>("spilled");

    QTest::newRow("fits: one bucket in memory")
        << 4000 << qint64(PriceListComparison::kDefaultMemoryLimit) << false;
    QTest::newRow("a few buckets") << 4000 << qint64(200000) << true;
    QTest::newRow("many buckets of a few chunks") << 4000 << qint64(8000) << true;
    QTest::newRow("more buckets than parts, none full") << 400 << qint64(50) << false;
}

void TestBucketedComparison::sameAsInMemory()
{
    QFETCH(int, count);
    QFETCH(qint64, memoryLimit);
    QFETCH(bool, spilled);

    const auto [before, after] = lists(count);
    const Result expected = compare(before, after, size_t(1) << 40);
    const Result result = compare(before, after, size_t(memoryLimit));
    QCOMPARE(result.spilled > 0, spilled);
    QVERIFY(!result.fileVisible);
    QCOMPARE(result.changes, expected.changes);
    QCOMPARE(result.removed, expected.removed);
    QCOMPARE(std::make_tuple(result.counts.added, result.counts.removed, result.counts.up, result.counts.down,
                             result.counts.withoutPrice),
             std::make_tuple(expected.counts.added, expected.counts.removed, expected.counts.up,
                             expected.counts.down, expected.counts.withoutPrice));
    // The lists do meet every rule: otherwise the comparison proves little.
    QVERIFY(expected.counts.added > 0 && expected.counts.removed > 0 && expected.counts.up > 0 &&
            expected.counts.down > 0 && expected.counts.withoutPrice > 0);
    QVERIFY(expected.changes.size() + expected.removed.size() + size_t(expected.counts.withoutPrice) <
            after.size());
    QVERIFY(QDir(m_temp->path()).isEmpty());
}

void TestBucketedComparison::noFileLeftAfterFailure()
{
    const auto [before, after] = lists(4000);
    FakeRebuild rebuild;
    rebuild.previous = before;
    rebuild.failAt = qint64(before.size()) - 10;
    {
        PriceListComparison comparison;
        comparison.setMemoryLimit(8000);
        comparison.readOld(rebuild);
        for (size_t i = 0; i < after.size(); ++i)
            comparison.addNew(qint64(i) + 1, after[i].number, after[i].group, after[i].price);
        QVERIFY_THROWS_EXCEPTION(Error, comparison.store(rebuild));
    }
    QVERIFY(QDir(m_temp->path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestBucketedComparison)
#include "TestBucketedComparison.moc"
