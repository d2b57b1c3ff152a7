#include "SampleGenerator.h"
#include "core/import/PriceListUpdate.h"
#include "core/postgres/PgCrossMaps.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "core/storage/PriceChangeStorage.h"
#include "support/ClientFolder.h"
#include "support/PostgresServer.h"

#include <QElapsedTimer>
#include <QTest>

#include <thread>

namespace {

// The supplier's next list: every fifth price raised a tenth, every
// eleventh part withdrawn (lines with quoted fields left as they are).
void changeList(const QString& folder)
{
    QFile file(QDir(folder).filePath("import.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QByteArray changed = lines.takeFirst() + '\n';
    for (int i = 0; i < lines.size(); ++i) {
        QList<QByteArray> fields = lines[i].split(';');
        if (lines[i].contains('"') || fields.size() < 6) {
            changed += lines[i] + '\n';
        } else if (i % 11 != 0) {
            if (i % 5 == 0)
                fields[5] = QByteArray::number(fields[5].toDouble() * 1.1, 'f', 2);
            changed += fields.join(';') + '\n';
        }
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(changed);
}

QStringList changes(PriceChangeStorage& storage)
{
    QStringList lines;
    for (const PriceChangeStorage::Line& line : storage.read())
        lines << PriceChange::name(line.kind) + " " + QString::fromStdString(line.groupCode) + " " +
                     QString::fromStdString(line.partNumber) + " " +
                     QString::number(line.oldPrice.value_or(-1)) + " " +
                     QString::number(line.newPrice.value_or(-1)) + " " + line.partName;
    lines.sort();
    return lines;
}

} // namespace

class TestPgPriceListRebuild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sameListAsEmbedded();
    void secondUpdateRefused();
    void failureKeepsTheList_data();
    void failureKeepsTheList();
    void swapWaitsForReaders();
    void keptCrossMap();

private:
    // Runs an update from m_files; atStage is told each stage as it begins.
    PriceListUpdate::Outcome update(const std::function<void(const QString&)>& atStage = {},
                                    const std::function<bool()>& stop = {});
    QStringList answers(); // what a few searches find

    PostgresServer m_server;
    QString m_connection;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<PgStorage> m_storage;
};

void TestPgPriceListRebuild::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestPgPriceListRebuild::init()
{
    m_connection = m_server.createDatabase();
    QVERIFY2(!m_connection.isEmpty(), qPrintable(m_server.error()));
    PgConnection db(m_connection);
    PgSchema::create(db);
    m_storage = std::make_unique<PgStorage>(m_connection);
    m_files = std::make_unique<QTemporaryDir>();
    SampleGenerator(2000, 3).writeTextFiles(m_files->path());
}

void TestPgPriceListRebuild::cleanup()
{
    m_storage.reset();
    m_files.reset();
}

PriceListUpdate::Outcome TestPgPriceListRebuild::update(const std::function<void(const QString&)>& atStage,
                                                        const std::function<bool()>& stop)
{
    PriceListUpdate update(m_files->path(), *m_storage, [&](const QString& stage) {
        if (atStage)
            atStage(stage);
    });
    update.setStopRequest(stop);
    return update.run();
}

QStringList TestPgPriceListRebuild::answers()
{
    QStringList found;
    for (const char* searchNr : {"1", "A", "OC", "Ж", "2"}) {
        const QStringList crosses = m_storage->catalogue().crossesOf(searchNr);
        found << crosses.join(',');
        for (const PriceRow& row : m_storage->catalogue().priceList(crosses.value(0), {40, 50}))
            found << row.groupCode + " " + row.partNumber + " " + QString::number(row.vhod.value_or(-1));
    }
    return found;
}

void TestPgPriceListRebuild::sameListAsEmbedded()
{
    ClientFolder embedded;
    for (const char* name : {"import.txt", "importg.txt"})
        QVERIFY(QFile::copy(QDir(m_files->path()).filePath(name), embedded.filePath(name)));
    for (int round = 0; round < 2; ++round) {
        const QString expected = PriceListUpdate::report(
            PriceListUpdate(embedded.path(), embedded.storage(), [](const QString&) {}).run());
        embedded.storage().resume();
        QCOMPARE(PriceListUpdate::report(update()), expected);
        // The next list changes prices and withdraws parts.
        QVERIFY2(round == 0 || (!expected.contains("снято: 0,") && !expected.contains("подорожало: 0,")),
                 qPrintable(expected));
        QCOMPARE(changes(m_storage->priceChanges()), changes(embedded.storage().priceChanges()));
        for (const char* searchNr : {"1", "A", "OC", "Ж", "2"}) {
            const QStringList crosses = m_storage->catalogue().crossesOf(searchNr);
            QCOMPARE(crosses, embedded.storage().catalogue().crossesOf(searchNr));
            for (const QString& cross : crosses.mid(0, 3)) {
                std::vector<PriceRow> actual = m_storage->catalogue().priceList(cross, {40, 50});
                std::vector<PriceRow> wanted = embedded.storage().catalogue().priceList(cross, {40, 50});
                QCOMPARE(actual.size(), wanted.size());
                for (size_t i = 0; i < actual.size(); ++i) {
                    QCOMPARE(actual[i].partNumber + actual[i].groupCode,
                             wanted[i].partNumber + wanted[i].groupCode);
                    QCOMPARE(actual[i].vhod, wanted[i].vhod);
                    QCOMPARE(actual[i].change, wanted[i].change);
                    QCOMPARE(actual[i].stock, wanted[i].stock);
                }
            }
        }
        changeList(m_files->path());
        changeList(embedded.path());
    }
    SettingsRecord settings;
    settings.open(m_storage->settings());
    QCOMPARE(settings.dateValue(Tables::SettingsField::PRICE_DATE), QDate::currentDate());
}

void TestPgPriceListRebuild::secondUpdateRefused()
{
    PgStorage other(m_connection);
    const std::unique_ptr<PriceListRebuild> first = m_storage->rebuild({});
    first->begin(true);
    QElapsedTimer timer;
    timer.start();
    try {
        other.rebuild({})->begin(true);
        QFAIL("a second update began");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains("уже обновляется"), qPrintable(error.message()));
    }
    QVERIFY(timer.elapsed() < 1000);
}

void TestPgPriceListRebuild::failureKeepsTheList_data()
{
    QTest::addColumn<QString>("stage");
    QTest::addColumn<QString>("how"); // stop, drop: the update's connection is terminated
    QTest::addColumn<QString>("message");
    QTest::newRow("stopped while the parts load") << "(4/7)"
                                                  << "stop" << PriceListUpdate::stoppedMessage();
    QTest::newRow("stopped while the groups load") << "(6/7)"
                                                   << "stop" << PriceListUpdate::stoppedMessage();
    QTest::newRow("connection lost after the parts") << "(5/7)"
                                                     << "drop"
                                                     << "Нет связи с сервером";
    QTest::newRow("connection lost after the groups") << "(7/7)"
                                                      << "drop"
                                                      << "Нет связи с сервером";
}

void TestPgPriceListRebuild::failureKeepsTheList()
{
    QFETCH(QString, stage);
    QFETCH(QString, how);
    QFETCH(QString, message);
    update();
    const QStringList before = answers();
    QVERIFY(before.size() > 10);
    changeList(m_files->path());
    bool stopping = false;
    try {
        update(
            [&](const QString& begun) {
                if (!begun.contains(stage))
                    return;
                stopping = how == "stop";
                if (how == "drop")
                    PgConnection(m_connection)
                        .exec("SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = 'advisory'");
                // The counters go on searching, in the current list.
                QCOMPARE(answers(), before);
            },
            [&] { return stopping; });
        QFAIL("the update went through");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(answers(), before);
    QCOMPARE(PgConnection(m_connection).exec("SELECT to_regclass('price_new') IS NULL").string(0, 0), "t");
    // Nothing is left to stand in the way of the next update.
    update();
    QVERIFY(answers() != before);
}

void TestPgPriceListRebuild::swapWaitsForReaders()
{
    update();
    const QStringList before = answers();
    changeList(m_files->path());
    // A counter reading the list for a while when the update is ready.
    PgConnection reader(m_connection);
    PgTransaction reading(reader);
    reader.exec("SELECT count(*) FROM PRICE");
    std::thread finish([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        reading.commit();
    });
    QElapsedTimer timer;
    timer.start();
    update();
    finish.join();
    QVERIFY2(timer.elapsed() >= 1400, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(answers() != before);
}

// The update keeps the cross map it built beside the list, and a counter
// reads it rather than the rows; damaged, or of a list changed since, it is
// passed over, and the rows give the same answers.
void TestPgPriceListRebuild::keptCrossMap()
{
    update();
    const QStringList found = answers();
    PgConnection db(m_connection);
    const auto kept = [&db] {
        PgTransaction snapshot(db);
        return PgCrossMaps::stored(db, db.exec(PgSchema::kSelectListVersion).integer(0, 0)) != nullptr;
    };
    QVERIFY(kept());

    db.exec("UPDATE CROSS_MAP SET BYTES = substring(BYTES for 100) WHERE PIECE = 0");
    QVERIFY(!kept());
    m_storage = std::make_unique<PgStorage>(m_connection);
    QCOMPARE(answers(), found);

    update();
    QVERIFY(kept());
    const QString shortNumber = db.exec("SELECT SHORTPARTNUMBER FROM PRICE WHERE ROW_NO = 1").string(0, 0);
    db.exec("UPDATE PRICE SET CROSSNUMBER = 'NEW1' WHERE ROW_NO = 1");
    QVERIFY(!kept());
    m_storage = std::make_unique<PgStorage>(m_connection);
    QVERIFY(m_storage->catalogue().crossesOf(shortNumber).contains("NEW1"));
}

QTEST_GUILESS_MAIN(TestPgPriceListRebuild)
#include "TestPgPriceListRebuild.moc"
