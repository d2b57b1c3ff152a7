#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/import/PriceListUpdate.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "core/storage/OrderStorage.h"
#include "core/storage/PriceRow.h"
#include "support/PostgresServer.h"

#include <QDir>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

// The supplier's next list: every third price raised, every seventh part withdrawn.
void writeNextList(const QString& from, const QString& to)
{
    for (const char* name : {"import.txt", "importg.txt"})
        QVERIFY(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
    QFile file(QDir(to).filePath("import.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QByteArray next = lines.takeFirst() + '\n';
    for (int i = 0; i < lines.size(); ++i) {
        QList<QByteArray> fields = lines[i].split(';');
        if (lines[i].contains('"') || fields.size() < 6) {
            next += lines[i] + '\n';
        } else if (i % 7 != 0) {
            if (i % 3 == 0)
                fields[5] = QByteArray::number(fields[5].toDouble() + 1, 'f', 2);
            next += fields.join(';') + '\n';
        }
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(next);
}

void update(Storage& storage, const QString& folder)
{
    PriceListUpdate(folder, storage, [](const QString&) {}).run();
}

// What a counter shows for a few searches: the crosses and the first one's price list.
QStringList answers(Storage& storage)
{
    QStringList found;
    for (const char* searchNr : {"1", "A", "OC", "Ж", "2"}) {
        const QStringList crosses = storage.catalogue().crossesOf(searchNr);
        found << crosses.join(',');
        for (const PriceRow& row : storage.catalogue().priceList(crosses.value(0), {40, 50}))
            found << row.groupCode + " " + row.partNumber + " " + QString::number(row.vhod.value_or(-1));
    }
    return found;
}

qint64 listVersion(PgConnection& db)
{
    return db.exec(PgSchema::kSelectListVersion).integer(0, 0);
}

} // namespace

class TestPgCounters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void searchesSeeOneListOrTheOther();
    void serverAnswersUntilTheMapIsReady_data();
    void serverAnswersUntilTheMapIsReady();
    void newListHeard_data();
    void newListHeard();
    void standbyReadsWritesGoToPrimary();
    void queryCancelledByRecoveryRetried();
    void tls_data();
    void tls();

private:
    // Waits until the standby has replayed all the primary wrote so far.
    void catchUp();
    // Reads from the standby, writes to the primary.
    QString standbyFirst() const;

    PostgresServer m_primary;
    PostgresServer m_standby;
    QString m_database;
    QString m_connection;
    QTemporaryDir m_lists;
    QString m_listA;
    QString m_listB;
};

void TestPgCounters::initTestCase()
{
    m_primary.enableTls();
    QVERIFY2(m_primary.start(), qPrintable(m_primary.error()));
    QVERIFY2(m_standby.startStandbyOf(m_primary), qPrintable(m_standby.error()));
    m_listA = m_lists.filePath("a");
    m_listB = m_lists.filePath("b");
    QVERIFY(QDir().mkpath(m_listA) && QDir().mkpath(m_listB));
    SampleGenerator(2000, 3).writeTextFiles(m_listA);
    writeNextList(m_listA, m_listB);
}

void TestPgCounters::init()
{
    m_connection = m_primary.createDatabase();
    QVERIFY2(!m_connection.isEmpty(), qPrintable(m_primary.error()));
    m_database = m_connection.section(QStringLiteral("dbname="), 1).section(QLatin1Char(' '), 0, 0);
    PgConnection db(m_connection);
    PgSchema::create(db);
    PgStorage writer(m_connection);
    update(writer, m_listA);
    catchUp();
}

void TestPgCounters::cleanup()
{
    m_connection.clear();
}

void TestPgCounters::catchUp()
{
    PgConnection primary(m_primary.connectionString(QStringLiteral("postgres")));
    PgConnection standby(m_standby.connectionString(QStringLiteral("postgres")));
    const std::string lsn = std::string(primary.exec("SELECT pg_current_wal_lsn()").text(0, 0));
    QTRY_VERIFY_WITH_TIMEOUT(
        standby.exec("SELECT pg_last_wal_replay_lsn() >= $1::pg_lsn", {lsn}).text(0, 0) == "t", 30000);
}

QString TestPgCounters::standbyFirst() const
{
    return QStringLiteral("host=%1,%2 port=%3,%4 dbname=%5 user=%6 target_session_attrs=prefer-standby")
        .arg(m_standby.socketDir(), m_primary.socketDir())
        .arg(m_standby.port())
        .arg(m_primary.port())
        .arg(m_database, QLatin1String(PostgresServer::kUser));
}

void TestPgCounters::searchesSeeOneListOrTheOther()
{
    PgStorage writer(m_connection);
    const auto snapshotAnswers = [](Storage& storage) {
        QStringList found;
        // The order first, as an open order reads it: the snapshot begins
        // before the list is read.
        storage.readInOneSnapshot([&] {
            storage.order().lines();
            found = answers(storage);
        });
        return found;
    };
    const QStringList a = snapshotAnswers(writer);
    update(writer, m_listB);
    const QStringList b = snapshotAnswers(writer);
    QVERIFY(a != b);

    std::atomic<bool> done{false};
    int searches = 0;
    QStringList faults;
    std::thread counter([&] {
        PgStorage storage(m_connection);
        while (!done) {
            try {
                const QStringList found = snapshotAnswers(storage);
                if (found != a && found != b)
                    faults << found.mid(0, 3).join('|');
            } catch (const std::exception& error) {
                faults << Error::messageOf(error);
            }
            ++searches;
        }
    });
    for (int round = 0; round < 4; ++round)
        update(writer, round % 2 == 0 ? m_listA : m_listB);
    done = true;
    counter.join();
    QVERIFY(searches > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(QString::number(faults.size()) +
                                          " wrong answers, the first: " + faults.value(0).left(200)));
}

void TestPgCounters::serverAnswersUntilTheMapIsReady_data()
{
    QTest::addColumn<QString>("searchNr");
    QTest::newRow("digit") << "1";
    QTest::newRow("letter") << "A";
    QTest::newRow("small letters") << "oc";
    QTest::newRow("cyrillic") << "ж";
    QTest::newRow("like wildcards") << "%_";
    QTest::newRow("nothing found") << "ZZZZZZZ";
}

void TestPgCounters::serverAnswersUntilTheMapIsReady()
{
    QFETCH(QString, searchNr);
    PgStorage counter(m_connection);
    auto& catalogue = dynamic_cast<PgPriceCatalogue&>(counter.catalogue());
    catalogue.prepare();
    catalogue.setMapsInBackground(true);
    const qint64 before = catalogue.mapVersion();
    PgStorage writer(m_connection);
    update(writer, m_listB);
    // A counter that reads the new list's map answers as one that waits for it.
    QCOMPARE(catalogue.crossesOf(searchNr), PgStorage(m_connection).catalogue().crossesOf(searchNr));
    QCOMPARE(catalogue.mapVersion(), before);
}

void TestPgCounters::newListHeard_data()
{
    QTest::addColumn<bool>("onStandby");
    QTest::newRow("primary: notified") << false;
    QTest::newRow("standby: polled") << true;
}

void TestPgCounters::newListHeard()
{
    QFETCH(bool, onStandby);
    PgStorage counter(onStandby ? standbyFirst() : m_connection);
    QCOMPARE(counter.connection().exec("SELECT pg_is_in_recovery()").text(0, 0) == "t", onStandby);
    counter.catalogue().prepare();
    std::atomic<int> heard{0};
    counter.watchListChanges([&] { ++heard; });
    PgStorage writer(m_connection);
    update(writer, m_listB);
    QTRY_COMPARE_WITH_TIMEOUT(heard.load(), 1, 30000);
    const auto& catalogue = dynamic_cast<PgPriceCatalogue&>(counter.catalogue());
    QCOMPARE(catalogue.mapVersion(), listVersion(writer.connection()));
    QCOMPARE(answers(counter), answers(writer));
}

void TestPgCounters::standbyReadsWritesGoToPrimary()
{
    PgStorage counter(standbyFirst());
    QCOMPARE(counter.connection().exec("SELECT pg_is_in_recovery()").text(0, 0), "t");
    PgStorage local(m_connection);
    QCOMPARE(answers(counter), answers(local));

    const std::vector<PriceRow> parts =
        counter.catalogue().priceList(counter.catalogue().crossesOf("1").value(0), {40, 50});
    QVERIFY(!parts.empty());
    QCOMPARE(counter.order().add(parts.front(), 2), 2);
    QCOMPARE(counter.order().lines().size(), size_t(1));
    PgConnection primary(m_connection);
    QCOMPARE(primary.exec("SELECT sum(QUANTITY) FROM ORDER_LINES").integer(0, 0), 2);

    // The update from a counter on a standby goes to the primary.
    const qint64 before = listVersion(primary);
    update(counter, m_listB);
    QVERIFY(listVersion(primary) > before);
}

void TestPgCounters::queryCancelledByRecoveryRetried()
{
    PgStorage counter(standbyFirst());
    PgConnection& standby = counter.connection();
    const QString pid = standby.exec("SELECT pg_backend_pid()").string(0, 0);
    PgConnection watching(m_standby.connectionString(m_database));
    QString answer;
    QString failure;
    // A long read of PRICE on the standby when the update's swap replays.
    std::thread reading([&] {
        try {
            answer = standby.exec("SELECT count(*), pg_sleep(1.5) FROM PRICE").string(0, 0);
        } catch (const std::exception& error) {
            failure = Error::messageOf(error);
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(watching.exec("SELECT count(*) FROM pg_stat_activity WHERE pid = $1 AND query "
                                           "LIKE '%pg_sleep%'",
                                           {pid})
                                     .integer(0, 0) == 1,
                             10000);
    PgStorage writer(m_connection);
    update(writer, m_listB);
    reading.join();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(answer, writer.connection().exec("SELECT count(*) FROM PRICE").string(0, 0));
}

void TestPgCounters::tls_data()
{
    QTest::addColumn<QString>("options");
    QTest::newRow("required") << "host=127.0.0.1 sslmode=require";
    QTest::newRow("certificate checked") << "host=localhost sslmode=verify-full sslrootcert=%1";
}

void TestPgCounters::tls()
{
    QFETCH(QString, options);
    const QString connection = QString(options).replace(QStringLiteral("%1"), m_primary.certificate()) +
                               QStringLiteral(" port=%1 dbname=%2 user=%3")
                                   .arg(m_primary.port())
                                   .arg(m_database, QLatin1String(PostgresServer::kUser));
    PgStorage counter(connection);
    QCOMPARE(counter.connection().exec("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()").text(0, 0),
             "t");
    PgStorage local(m_connection);
    QCOMPARE(answers(counter), answers(local));
}

QTEST_GUILESS_MAIN(TestPgCounters)
#include "TestPgCounters.moc"
