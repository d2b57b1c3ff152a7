#include "SampleGenerator.h"
#include "core/session/ShopStorage.h"
#include "core/storage/OrderStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/storage/PriceChangeStorage.h"
#include "support/AdminRun.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

class TestAdminProgram : public QObject
{
    Q_OBJECT

private slots:
    void initMakesTheFiles();
    void initRefusesToOverwrite_data();
    void initRefusesToOverwrite();
    void generatorIsDeterministicAndRealistic();
    void generatorFillsDatabase();
    void changesOfGeneratedLists();
};

void TestAdminProgram::initMakesTheFiles()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("new/program"));
    const AdminRun result = AdminRun::of({QStringLiteral("init"), folder});
    QCOMPARE(result.status, 0);
    QCOMPARE(QFileInfo(IniFile::clientFileName(folder)).size(), 0);

    // A shop to start on: the sample settings, and no changes or order yet;
    // what the file holds is TestSchema's.
    const std::unique_ptr<Storage> storage = ShopStorage::open(folder, ShopStorage::Access::Read);
    SettingsRecord settings;
    settings.open(storage->settings());
    QCOMPARE(settings.value(Tables::SettingsField::CL_ID).toString(), QStringLiteral("00017"));
    QCOMPARE(settings.floatValue(Tables::SettingsField::RATE_USD), 41.25);
    storage->catalogue().checkPriceTable();
    QVERIFY(storage->priceChanges().read().empty());
    QVERIFY(storage->order().lines().empty());
}

void TestAdminProgram::initRefusesToOverwrite_data()
{
    QTest::addColumn<bool>("withDatabase");
    QTest::addColumn<bool>("withIni");
    QTest::newRow("database only") << true << false;
    QTest::newRow("ini only") << false << true;
    QTest::newRow("both") << true << true;
}

void TestAdminProgram::initRefusesToOverwrite()
{
    QFETCH(bool, withDatabase);
    QFETCH(bool, withIni);
    QTemporaryDir dir;
    const QString database = ShopStorage::databaseFileName(dir.path());
    const QString ini = IniFile::clientFileName(dir.path());
    for (const auto& [wanted, path] : {std::pair{withDatabase, database}, std::pair{withIni, ini}}) {
        if (wanted) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("clerk's data");
        }
    }
    const AdminRun result = AdminRun::of({QStringLiteral("init"), dir.path()});
    QCOMPARE(result.status, 1);
    QVERIFY(result.err.contains(QStringLiteral("already exists")));
    QCOMPARE(QFileInfo::exists(database), withDatabase);
    QCOMPARE(QFileInfo::exists(ini), withIni);
    if (withDatabase)
        QCOMPARE(QFileInfo(database).size(), 12);
}

void TestAdminProgram::generatorIsDeterministicAndRealistic()
{
    QTemporaryDir first, second;
    SampleGenerator(3000, 7).writeTextFiles(first.path());
    SampleGenerator(3000, 7).writeTextFiles(second.path());
    const QString price = QStringLiteral("/import.txt");
    QCOMPARE(fileDigest(first.path() + price), fileDigest(second.path() + price));

    QFile file(first.path() + price);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine(), SampleGenerator::priceHeader());
    int rows = 0, cyrillic = 0, separators = 0, lower = 0;
    QSet<QString> crosses;
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(';'));
        QCOMPARE(fields.size(), 15);
        ++rows;
        const QString number = fields[1];
        QVERIFY(number.size() <= 22 && fields[4].size() <= 10 && fields[3].size() <= 60);
        cyrillic += number.contains(QRegularExpression(QStringLiteral("[А-Яа-я]")));
        separators += number.contains(QRegularExpression(QStringLiteral("[ ./-]")));
        lower += number != number.toUpper();
        crosses.insert(fields[4]);
    }
    QCOMPARE(rows, 3000);
    QVERIFY2(cyrillic > 300 && cyrillic < 600, qPrintable(QString::number(cyrillic)));
    QVERIFY(separators > 2500);
    QVERIFY(lower > 50);
    QVERIFY(crosses.size() > 600 && crosses.size() < 1500);
}

void TestAdminProgram::generatorFillsDatabase()
{
    ClientFolder folder;
    SampleGenerator generator(2000, 3);
    generator.writeDatabase(folder.databaseFileName());
    QCOMPARE(folder.queryText("SELECT count(*) FROM PRICE").toInt(), 2000);
    QCOMPARE(folder.queryText("SELECT count(*) FROM GROUPS").toInt(), int(generator.groups().size()));
    QVERIFY(folder.queryText("SELECT count(*) FROM GROUPS WHERE GROUPNAME='Группа товара'").toInt() > 0);
    QCOMPARE(folder.queryText("SELECT count(*) FROM sqlite_master WHERE type='index' AND name LIKE 'PRICE_%'")
                 .toInt(),
             2);
}

void TestAdminProgram::changesOfGeneratedLists()
{
    ClientFolder folder;
    SampleGenerator(500, 11).writeTextFiles(folder.path());
    AdminRun first = AdminRun::of({QStringLiteral("update"), folder.path()});
    QCOMPARE(first.status, 0);
    QVERIFY2(first.err.contains(QStringLiteral("\nНовых позиций: 500\n")), qPrintable(first.err));
    const AdminRun none = AdminRun::of({QStringLiteral("changes"), folder.path()});
    QCOMPARE(none.status, 0);
    QCOMPARE(none.out, QString());

    // The next list: prices of parts whose number is printed once moved by
    // known factors, one such part withdrawn and two parts added.
    QFile file(folder.filePath(QStringLiteral("import.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QStringList> lines;
    QHash<QString, int> numbers;
    file.readLine();
    while (!file.atEnd()) {
        lines << QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(';'));
        ++numbers[lines.last()[1].toCaseFolded()];
    }
    file.close();
    const QList<double> factors{1.1, 1.5, 0.8, 1.25, 0.5};
    QStringList expected(factors.size() + 3);
    int moved = 0;
    for (auto line = lines.begin(); line != lines.end() && moved <= factors.size(); ++line) {
        QStringList& fields = *line;
        if (numbers.value(fields[1].toCaseFolded()) != 1)
            continue;
        const double before = fields[5].toDouble();
        if (moved == factors.size()) {
            expected.last() =
                QStringLiteral("removed\t%1\t%2\t%3\t\t").arg(fields[1], fields[0]).arg(before, 0, 'f', 2);
            lines.erase(line);
            break;
        }
        const double factor = factors[moved];
        fields[5] = QString::number(before * factor, 'f', 2);
        // Rises first, each kind by the size of the change.
        const int place = QList<int>{2, 0, 4, 1, 3}[moved++];
        expected[place] =
            QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6%7\n")
                .arg(factor > 1 ? QStringLiteral("up") : QStringLiteral("down"), fields[1], fields[0])
                .arg(before, 0, 'f', 2)
                .arg(fields[5])
                .arg(factor > 1 ? QLatin1Char('+') : QLatin1Char('-'))
                .arg(std::abs(factor - 1) * 100, 0, 'f', 1);
    }
    expected.last() += QLatin1Char('\n');
    lines << QStringLiteral("GR00001;ЯЯ-2;ЯЯ2;Новая;X9;7;;;;;;;;;").split(QLatin1Char(';'))
          << QStringLiteral("GR00001;ЯЯ-1;ЯЯ1;Новая;X9;8;;;;;;;;;").split(QLatin1Char(';'));
    expected[factors.size()] = QStringLiteral("new\tЯЯ-1\tGR00001\t\t8.00\t\n");
    expected[factors.size() + 1] = QStringLiteral("new\tЯЯ-2\tGR00001\t\t7.00\t\n");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(SampleGenerator::priceHeader());
    for (const QStringList& fields : std::as_const(lines))
        file.write(fields.join(QLatin1Char(';')).toUtf8() + '\n');
    file.close();

    const AdminRun second = AdminRun::of({QStringLiteral("update"), folder.path()});
    QCOMPARE(second.status, 0);
    QVERIFY2(
        second.err.contains(QStringLiteral("\nНовых позиций: 2, снято: 1, подорожало: 3, подешевело: 2\n")),
        qPrintable(second.err));
    const AdminRun changes = AdminRun::of({QStringLiteral("changes"), folder.path()});
    QCOMPARE(changes.status, 0);
    QCOMPARE(changes.out, expected.join(QString()));
}

QTEST_GUILESS_MAIN(TestAdminProgram)
#include "TestAdminProgram.moc"
