#include "core/errors/Error.h"
#include "core/import/PriceListComparison.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

// Compared a bucket at a time through temporary files, the lists give what
// they give compared whole in memory, and no file is left behind.
class TestBucketedComparison : public QObject
{
    Q_OBJECT

private slots:
    void sameAsInMemory_data();
    void sameAsInMemory();
};

namespace {

using Part = std::tuple<std::string, std::string, std::optional<double>>; // number, group, price

// The replaced list as read, failing at part failAt; what is stored, as text.
struct FakeRebuild : PriceListRebuild
{
    std::vector<Part> previous;
    qint64 failAt = -1;
    QStringList stored;

    void begin(bool) override {}
    qint64 previousCount() override { return qint64(previous.size()); }
    void visitPrevious(const std::function<void(const PreviousPart&)>& visit) override
    {
        for (qint64 i = 0; i < qint64(previous.size()); ++i) {
            if (i == failAt)
                throw Error(QStringLiteral("read failed"));
            const auto& [number, group, price] = previous[size_t(i)];
            visit({i + 1, number, group, price});
        }
    }
    void createParts() override {}
    void appendParts(const FieldValue*, size_t) override {}
    void storeChanges(const std::vector<Change>& changes, const std::vector<qint64>& removed) override
    {
        for (const Change& change : changes)
            stored << QStringLiteral("%1 %2 %3")
                          .arg(change.part)
                          .arg(int(change.kind))
                          .arg(change.oldPrice.value_or(-1));
        for (const qint64 part : removed)
            stored << QStringLiteral("removed %1").arg(part);
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

// Case, numbers the group tells apart, ambiguous repeats, new, removed,
// raised, lowered and missing prices, all through the buckets.
QStringList compare(int count, size_t memoryLimit, qint64 failAt, qint64& spilled, bool& fileSeen)
{
    FakeRebuild rebuild;
    std::vector<Part> after;
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(i / 4);
        const std::string group = "G" + std::to_string(i % 4 < 2 ? i % 7 : 0);
        if (i % 17 != 0)
            rebuild.previous.emplace_back((i % 3 ? "ab-" : "Жк-") + number, group,
                                          i % 19 ? std::optional<double>(10 + i % 13) : std::nullopt);
        if (i % 23 != 0)
            after.emplace_back((i % 3 ? (i % 5 ? "ab-" : "AB-") : (i % 5 ? "Жк-" : "жК-")) + number, group,
                               10 + i % 13 + i % 11 - 5);
    }
    rebuild.failAt = failAt;
    PriceListComparison comparison;
    comparison.setMemoryLimit(memoryLimit);
    comparison.readOld(rebuild);
    for (size_t i = 0; i < after.size(); ++i)
        comparison.addNew(qint64(i) + 1, std::get<0>(after[i]), std::get<1>(after[i]), std::get<2>(after[i]));
    comparison.finishReading();
    // Nothing written has a name on disk, even while in use.
    fileSeen = !QDir(QDir::tempPath()).isEmpty();
    const PriceListComparison::Counts counts = comparison.store(rebuild);
    spilled = comparison.spilledBytes();
    return rebuild.stored << QStringLiteral("%1 %2 %3 %4 %5")
                                 .arg(counts.added)
                                 .arg(counts.removed)
                                 .arg(counts.up)
                                 .arg(counts.down)
                                 .arg(counts.withoutPrice);
}

} // namespace

void TestBucketedComparison::sameAsInMemory_data()
{
    QTest::addColumn<qint64>("memoryLimit");
    QTest::addColumn<qint64>("failAt");

    QTest::newRow("a few buckets") << qint64(200000) << qint64(-1);
    QTest::newRow("many buckets of a few chunks") << qint64(8000) << qint64(-1);
    QTest::newRow("the replaced list unreadable") << qint64(8000) << qint64(3000);
}

void TestBucketedComparison::sameAsInMemory()
{
    const int count = 4000;
    QFETCH(qint64, memoryLimit);
    QFETCH(qint64, failAt);

    QTemporaryDir temp;
    const QByteArray savedTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const auto restore = qScopeGuard([&savedTmpDir] { qputenv("TMPDIR", savedTmpDir); });
    qint64 spilled = 0;
    bool fileSeen = false;
    if (failAt >= 0) {
        QVERIFY_THROWS_EXCEPTION(Error, compare(count, size_t(memoryLimit), failAt, spilled, fileSeen));
    } else {
        const QStringList whole =
            compare(count, PriceListComparison::kDefaultMemoryLimit, -1, spilled, fileSeen);
        QCOMPARE(spilled, 0);
        const QStringList bucketed = compare(count, size_t(memoryLimit), -1, spilled, fileSeen);
        QVERIFY(spilled > 0);
        QCOMPARE(bucketed, whole);
        // Every rule was met, so the comparison proves something.
        for (const QString& counted : whole.last().split(QLatin1Char(' ')))
            QVERIFY2(counted.toInt() > 0, qPrintable(whole.last()));
    }
    QVERIFY(!fileSeen);
    QVERIFY(QDir(temp.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestBucketedComparison)
#include "TestBucketedComparison.moc"
