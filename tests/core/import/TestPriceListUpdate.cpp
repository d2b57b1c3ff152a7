#include "SampleGenerator.h"
#include "core/errors/Error.h"
#include "core/import/PriceListUpdate.h"
#include "core/session/ShopStorage.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/Schema.h"
#include "core/storage/PriceCatalogue.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"

#include <SQLiteCpp/Database.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

const QByteArray kPriceHeader =
    "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\n";

// Makes the database at path anew in another text encoding, through the
// stock sqlite3 client: SQLite cannot attach files of different encodings.
void recreateInEncoding(const QString& path, const QString& encoding)
{
    QVERIFY(QFile::rename(path, path + QStringLiteral(".model")));
    const QString script =
        QStringLiteral("(echo \"PRAGMA encoding='%2';\"; sqlite3 '%1.model' .dump) | sqlite3 '%1'");
    QCOMPARE(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), script.arg(path, encoding)}), 0);
}

} // namespace

class TestPriceListUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void priceListOnly();
    void bothFiles();
    void everythingElseSurvives();
    void fileHoldsOneMoreListAtMost();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
    void missingPriceTable();
    void refusedWhileAnotherClientRuns();
    void adjustedValuesAreReported();
    void partsWithoutCrossNumberAreReported_data();
    void partsWithoutCrossNumberAreReported();
    void groupCodesFoldLikeUnicode_data();
    void groupCodesFoldLikeUnicode();
    void keepsWhatTheFileHolds_data();
    void keepsWhatTheFileHolds();
    void otherProgramsHeldOff();
    void stopChangesNothing_data();
    void stopChangesNothing();

private:
    void write(const QString& name, const QByteArray& content) { m_folder->writeFile(name, content); }
    PriceListUpdate::Outcome update(const std::function<bool()>& stopRequest = {});
    QByteArray databaseDigest() const;
    QStringList rows(const std::string& sql) const { return m_folder->queryRows(sql); }
    static std::string byRow(const char* sql) { return sql + std::string(ClientFolder::rowOrder()); }

    std::unique_ptr<ClientFolder> m_folder;
    QStringList m_stages;
};

void TestPriceListUpdate::init()
{
    m_folder = std::make_unique<ClientFolder>();
    m_folder->exec("INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, PARTNAME, CROSSNUMBER, PRICE) "
                   "VALUES ('OLD', 'OLD-1', 'OLD1', 'Старая деталь', 'X1', 10)");
    m_folder->exec("INSERT INTO GROUPS VALUES ('OLD', 'Старая группа', 5)");
    m_stages.clear();
}

void TestPriceListUpdate::cleanup()
{
    m_folder.reset();
}

// The file's bytes; on a server, what its tables hold.
QByteArray TestPriceListUpdate::databaseDigest() const
{
    if (!ClientFolder::onServer())
        return fileDigest(m_folder->databaseFileName());
    QStringList all;
    for (const char* table : {"PRICE", "GROUPS", "SETTINGS", "PRICE_CHANGES", "ORDER_LINES", "TARDESK_LIST"})
        if (m_folder->queryText("SELECT to_regclass('" + std::string(table) + "') IS NOT NULL") == "t")
            all << rows("SELECT * FROM " + std::string(table) + " ORDER BY " + ClientFolder::rowOrder());
    return all.join(QLatin1Char('\n')).toUtf8();
}

PriceListUpdate::Outcome TestPriceListUpdate::update(const std::function<bool()>& stopRequest)
{
    return m_folder->update([this](const QString& stage) { m_stages << stage; }, stopRequest);
}

void TestPriceListUpdate::priceListOnly()
{
    write(QStringLiteral("import.txt"), kPriceHeader + "old;A-1;A1;Деталь;X2;99;1;2;3;4;5;6;7;8;9\n"
                                                       "NEW;B-2;B2;Деталь новая;X2;12.5;;;;;;;;;\n"
                                                       "new;B-3;B3;Ещё одна;X3;1;;;;;;;;;\n");
    const auto outcome = update();
    QVERIFY(!outcome.groupsLoaded);
    QVERIFY(!outcome.priceDate.isValid());
    QCOMPARE(m_stages.last(), QStringLiteral("Формирование списка групп (5/7)"));

    QCOMPARE(rows(byRow("SELECT PARTNUMBER, PRICE, WH8 FROM PRICE ORDER BY ")),
             QStringList({"A-1|99|9", "B-2|12.5|", "B-3|1|"}));
    // The old groups stay; a new code gets its default once, whatever its case,
    // and a code known in other letters gets none.
    QCOMPARE(rows(byRow("SELECT * FROM GROUPS ORDER BY ")),
             QStringList({"OLD|Старая группа|5", "NEW|Группа товара|0"}));
    QCOMPARE(rows("SELECT PRICE_DATE FROM SETTINGS"), QStringList({""}));
    if (!ClientFolder::onServer())
        QCOMPARE(m_folder->queryText("PRAGMA integrity_check"), QStringLiteral("ok"));
    QVERIFY(!QFileInfo::exists(m_folder->filePath(QStringLiteral("~temp.mdb"))));
}

void TestPriceListUpdate::bothFiles()
{
    write(QStringLiteral("import.txt"), kPriceHeader + "G1;A-1;A1;Деталь;X2;100;;;;;;;;;\n"
                                                       "G2;A-2;A2;Деталь;X2;100;;;;;;;;;\n");
    write(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\ng1;Фильтры;10\n");
    const auto outcome = update();
    QVERIFY(outcome.groupsLoaded);
    QCOMPARE(outcome.priceDate, QDate::currentDate());
    QCOMPARE(m_stages, QStringList({"Удаление старого прайса (2/7)", "Формирование нового прайса (3/7)",
                                    "Формирование нового прайса (4/7)", "Формирование списка групп (5/7)",
                                    "Формирование списка групп (6/7)", "Формирование списка групп (7/7)"}));
    QCOMPARE(rows(byRow("SELECT * FROM GROUPS ORDER BY ")),
             QStringList({"g1|Фильтры|10", "G2|Группа товара|0"}));
    QCOMPARE(rows("SELECT substr(CAST(PRICE_DATE AS text), 1, 10) FROM SETTINGS"),
             QStringList({QDate::currentDate().toString(Qt::ISODate)}));
    // The new list's indexes keep their names, on the server too once swapped in.
    QCOMPARE(
        rows(ClientFolder::onServer() ? "SELECT upper(indexname) FROM pg_indexes WHERE tablename = 'price' "
                                        "ORDER BY 1"
                                      : "SELECT name FROM sqlite_master WHERE type='index' AND "
                                        "tbl_name='PRICE' ORDER BY name"),
        ClientFolder::onServer() ? QStringList({"PRICE_CROSSNUMBER", "PRICE_ROW_NO", "PRICE_SHORTPARTNUMBER"})
                                 : QStringList({"PRICE_CROSSNUMBER", "PRICE_SHORTPARTNUMBER"}));
}

void TestPriceListUpdate::everythingElseSurvives()
{
    SKIP_ON_SERVER("rowids, sqlite_sequence and pragmas are the embedded file's");
    m_folder->exec(
        "UPDATE SETTINGS SET CL_NAME='первый';"
        "INSERT INTO SETTINGS (CL_NAME) VALUES ('второй');"
        "DELETE FROM SETTINGS WHERE CL_NAME='первый';"
        "INSERT INTO SETTINGS (CL_NAME) VALUES ('третий');"
        "CREATE TABLE NOTES (ID INTEGER PRIMARY KEY AUTOINCREMENT, TEXT TEXT(20));"
        "INSERT INTO NOTES (TEXT) VALUES ('заметка');"
        "CREATE INDEX NOTES_TEXT ON NOTES(TEXT);"
        "CREATE VIEW CHEAP AS SELECT PARTNUMBER FROM PRICE WHERE PRICE < 50;"
        "CREATE TRIGGER NOTES_STAMP AFTER INSERT ON NOTES BEGIN UPDATE NOTES SET TEXT='!' WHERE 0; END;"
        "PRAGMA user_version=7;"
        "PRAGMA application_id=1234");
    write(QStringLiteral("import.txt"), kPriceHeader + "OLD;C-1;C1;Дешёвая;X5;20;;;;;;;;;\n");
    write(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nOLD;Группа;0\n");
    update();

    // Rowids are kept: the settings record is the row with the lowest.
    QCOMPARE(rows("SELECT rowid, CL_NAME FROM SETTINGS ORDER BY rowid"),
             QStringList({"2|второй", "3|третий"}));
    QCOMPARE(rows("SELECT * FROM NOTES"), QStringList({"1|заметка"}));
    QCOMPARE(rows("SELECT seq FROM sqlite_sequence WHERE name='NOTES'"), QStringList({"1"}));
    QCOMPARE(rows("SELECT * FROM CHEAP"), QStringList({"C-1"}));
    QCOMPARE(
        rows(
            "SELECT type, name FROM sqlite_master WHERE name IN ('NOTES_TEXT', 'NOTES_STAMP') ORDER BY name"),
        QStringList({"trigger|NOTES_STAMP", "index|NOTES_TEXT"}));
    QCOMPARE(rows("SELECT type FROM pragma_table_info('SETTINGS') WHERE name='RATE_USD'"),
             QStringList({"DOUBLE"}));
    QCOMPARE(m_folder->queryText("PRAGMA user_version"), QStringLiteral("7"));
    QCOMPARE(m_folder->queryText("PRAGMA application_id"), QStringLiteral("1234"));
}

// An update builds beside the list it replaces and leaves that room free
// for the next one to fill: the file stays within its compact size and one
// more list (about twice that; without its room taken again, four updates
// would make it four times as large), and its schema holds the tables' own statements.
void TestPriceListUpdate::fileHoldsOneMoreListAtMost()
{
    SKIP_ON_SERVER("the size of Tardesk.mdb");
    const QString database = m_folder->databaseFileName();
    qint64 largest = 0;
    for (const quint64 seed : {1, 2, 3, 4}) {
        SampleGenerator(4000, seed).writeTextFiles(m_folder->path());
        update();
        largest = std::max(largest, QFileInfo(database).size());
    }
    const auto withoutSemicolon = [](std::string statement) {
        statement.pop_back();
        return QString::fromStdString(statement);
    };
    QCOMPARE(rows("SELECT sql FROM sqlite_master WHERE name IN ('PRICE', 'PRICE_SHORTPARTNUMBER', "
                  "'GROUPS', 'PART_NAME_WORDS') ORDER BY name"),
             QStringList({withoutSemicolon(Schema::createGroupsStatement()),
                          withoutSemicolon(Schema::kCreateNameWords),
                          withoutSemicolon(Schema::createPriceStatement()),
                          withoutSemicolon(Schema::kCreatePriceShortPartNumberIndex)}));
    DatabaseLock lock(m_folder->path());
    DatabaseCompactor::CompactClientDatabase(m_folder->path(), QString(), lock);
    const qint64 compact = QFileInfo(database).size();
    QVERIFY2(largest <= compact * 9 / 4,
             qPrintable(QStringLiteral("%1 bytes, compact %2").arg(largest).arg(compact)));
}

void TestPriceListUpdate::failuresChangeNothing_data()
{
    QTest::addColumn<QByteArray>("price");
    QTest::addColumn<QByteArray>("groups");
    QTest::addColumn<QString>("message");

    const QByteArray good = kPriceHeader + "G1;A-1;A1;Деталь;X2;100;;;;;;;;;\n";
    QTest::newRow("no import.txt") << QByteArray() << QByteArray() << "import.txt не найден";
    QTest::newRow("header only") << kPriceHeader << QByteArray() << "не содержит ни одной строки";
    QTest::newRow("unknown column") << QByteArray("GROUPCODE;COLOUR\nG1;red\n") << QByteArray() << "COLOUR";
    QTest::newRow("unterminated quote") << kPriceHeader + "G1;\"A-1;A1\n" << QByteArray() << "строка 2";
    QTest::newRow("bad group file") << good << QByteArray("GROUPCODE;GROUPNAME;DISCOUNT\n\"G1;x;1\n")
                                    << "importg.txt";
    QTest::newRow("repeated group ignoring case")
        << good << QByteArray("GROUPCODE;GROUPNAME;DISCOUNT\nG1;a;1\nG2;b;2\ng1;c;3\n")
        << "importg.txt, строка 4: код группы «g1» повторяется";
    QTest::newRow("repeated group in letters beyond the Russian alphabet")
        << good << QByteArray("GROUPCODE;GROUPNAME;DISCOUNT\nҐЁ1;a;1\nґё1;b;2\n")
        << "importg.txt, строка 3: код группы «ґё1» повторяется";
    QTest::newRow("empty group code") << good << QByteArray("GROUPCODE;GROUPNAME;DISCOUNT\n;a;1\n")
                                      << "importg.txt, строка 2: пустой код группы";
}

void TestPriceListUpdate::failuresChangeNothing()
{
    QFETCH(QByteArray, price);
    QFETCH(QByteArray, groups);
    QFETCH(QString, message);
    if (!price.isNull())
        write(QStringLiteral("import.txt"), price);
    if (!groups.isNull())
        write(QStringLiteral("importg.txt"), groups);
    const QByteArray before = databaseDigest();
    try {
        update();
        QFAIL("the update succeeded");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
    QCOMPARE(databaseDigest(), before);
    const QStringList left = QDir(m_folder->path()).entryList({QStringLiteral("~temp*")}, QDir::Files);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
}

void TestPriceListUpdate::missingPriceTable()
{
    m_folder->exec("DROP TABLE PRICE");
    try {
        m_folder->storage().catalogue().checkPriceTable();
        QFAIL("the price table was found");
    } catch (const std::exception& error) {
        QVERIFY2(Error::messageOf(error).contains(QStringLiteral("PRICE"), Qt::CaseInsensitive),
                 qPrintable(Error::messageOf(error)));
    }
    write(QStringLiteral("import.txt"), kPriceHeader + "G1;A-1;A1;Деталь;X2;100;;;;;;;;;\n");
    const QByteArray before = databaseDigest();
    try {
        update();
        QFAIL("the update succeeded");
    } catch (const Error& error) {
        QCOMPARE(error.message(), ClientFolder::noSuchTable(QStringLiteral("PRICE")));
    }
    QCOMPARE(databaseDigest(), before);
}

void TestPriceListUpdate::refusedWhileAnotherClientRuns()
{
    SKIP_ON_SERVER("the folder's lock guards Tardesk.mdb; on a server the other counters keep searching");
    write(QStringLiteral("import.txt"), kPriceHeader + "G1;A-1;A1;Деталь;X2;100;;;;;;;;;\n");
    // Opened in this process, it holds the folder as another process would.
    const std::unique_ptr<Storage> otherClient =
        ShopStorage::open(m_folder->path(), ShopStorage::Access::Shared);
    const QByteArray before = databaseDigest();
    try {
        update();
        QFAIL("the update ran under another client");
    } catch (const Error& error) {
        QCOMPARE(error.message(), DatabaseLock::refusalMessage());
    }
    QCOMPARE(databaseDigest(), before);
}

void TestPriceListUpdate::adjustedValuesAreReported()
{
    write(QStringLiteral("import.txt"), kPriceHeader + "G1;A-1;A1;Деталь;X2;дорого;1.5;;;;;;;;\n");
    const auto outcome = update();
    QCOMPARE(outcome.adjustedCount, 2);
    const QString report = PriceListUpdate::adjustmentReport(outcome);
    QVERIFY2(report.contains(QStringLiteral("import.txt, строка 2, PRICE: «дорого»")), qPrintable(report));
    QVERIFY(report.contains(QStringLiteral("WH0: «1.5»")));
    QCOMPARE(rows("SELECT PRICE, WH0 FROM PRICE"), QStringList({"|"}));
}

void TestPriceListUpdate::partsWithoutCrossNumberAreReported_data()
{
    QTest::addColumn<QByteArray>("parts");
    QTest::addColumn<QString>("report");

    QTest::newRow("every part has one") << QByteArray("G1;A-1;A1;Деталь;X1;100;;;;;;;;;\n") << "";
    QTest::newRow("empty and quoted empty") << QByteArray("G1;A-1;A1;Деталь;;100;;;;;;;;;\n"
                                                          "G1;A-2;A2;Деталь;\"\";100;;;;;;;;;\n"
                                                          "G1;A-3;A3;Деталь;X1;100;;;;;;;;;\n")
                                            << "Позиций без номера замены: 2";
    QTest::newRow("after the adjusted values")
        << QByteArray("G1;A-1;A1;Деталь;;дорого;;;;;;;;;\n")
        << "Примеры:\nimport.txt, строка 2, PRICE: «дорого»\nПозиций без номера замены: 1";
}

void TestPriceListUpdate::partsWithoutCrossNumberAreReported()
{
    QFETCH(QByteArray, parts);
    QFETCH(QString, report);
    write(QStringLiteral("import.txt"), kPriceHeader + parts);
    const auto outcome = update();
    const QString shown = PriceListUpdate::adjustmentReport(outcome);
    QVERIFY2(report.isEmpty() ? shown.isEmpty() : shown.endsWith(report), qPrintable(shown));
    // They are loaded all the same.
    QCOMPARE(m_folder->queryText("SELECT count(*) FROM PRICE").toInt(), parts.count('\n'));
}

void TestPriceListUpdate::groupCodesFoldLikeUnicode_data()
{
    QTest::addColumn<QString>("inGroups");
    QTest::addColumn<QString>("inPrice");
    QTest::addColumn<bool>("same");

    QTest::newRow("Ё") << "ЁЖ"
                       << "ёж" << true;
    QTest::newRow("Ґ") << "Ґ1"
                       << "ґ1" << true;
    QTest::newRow("Ў") << "Ў"
                       << "ў" << true;
    QTest::newRow("Ä") << "ÄB"
                       << "äb" << true;
    QTest::newRow("final sigma") << "ΣΑ"
                                 << "ςα" << true;
    QTest::newRow("Kelvin sign") << "\u212A1"
                                 << "k1" << true;
    QTest::newRow("beyond the BMP") << "\U00010400"
                                    << "\U00010428" << true;
    QTest::newRow("Е is not Ё") << "ЕЖ"
                                << "ёж" << false;
    QTest::newRow("ß is not ss") << "SS"
                                 << "ß" << false;
}

void TestPriceListUpdate::groupCodesFoldLikeUnicode()
{
    QFETCH(QString, inGroups);
    QFETCH(QString, inPrice);
    QFETCH(bool, same);
    write(QStringLiteral("import.txt"), kPriceHeader + inPrice.toUtf8() + ";A-1;A1;Деталь;X2;100;;;;;;;;;\n");
    write(QStringLiteral("importg.txt"),
          "GROUPCODE;GROUPNAME;DISCOUNT\n" + inGroups.toUtf8() + ";Скидка;10\n");
    update();

    // No default group for a code the group file has in other letters, and
    // the part gets that group's discount.
    QCOMPARE(rows(byRow("SELECT GROUPCODE FROM GROUPS ORDER BY ")),
             same ? QStringList{inGroups} : QStringList({inGroups, inPrice}));
    const std::vector<PriceRow> parts = m_folder->storage().catalogue().priceList("X2", {40, 50});
    QCOMPARE(parts.size(), size_t(1));
    QCOMPARE(parts[0].vhod, std::optional<double>(same ? 90 : 100));
}

void TestPriceListUpdate::keepsWhatTheFileHolds_data()
{
    QTest::addColumn<QByteArray>("setup"); // run on the database before the update
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("message"); // of the refusal; empty when the update works

    QTest::newRow("full-text table of another program")
        << QByteArray("CREATE VIRTUAL TABLE NOTES USING fts5(TEXT);"
                      "INSERT INTO NOTES VALUES ('звонить поставщику'), ('заказать фильтры');")
        << "UTF-8" << QString();
    QTest::newRow("UTF-16 little-endian file") << QByteArray() << "UTF-16le" << QString();
    QTest::newRow("UTF-16 big-endian file") << QByteArray() << "UTF-16be" << QString();
    // Its module is nowhere to be had; the update does not need it.
    QTest::newRow("virtual table of an unknown module")
        << QByteArray("PRAGMA writable_schema=ON;"
                      "INSERT INTO sqlite_master VALUES "
                      "('table', 'FOREIGN_NOTES', 'FOREIGN_NOTES', 0, "
                      "'CREATE VIRTUAL TABLE FOREIGN_NOTES USING elsewhere(TEXT)');")
        << "UTF-8" << QString();
}

void TestPriceListUpdate::keepsWhatTheFileHolds()
{
    QFETCH(QByteArray, setup);
    QFETCH(QString, encoding);
    QFETCH(QString, message);
    SKIP_ON_SERVER("the file's own text encodings and virtual tables");
    const QString database = m_folder->databaseFileName();
    if (encoding != QLatin1String("UTF-8"))
        recreateInEncoding(database, encoding);
    m_folder->exec(setup.constData());
    write(QStringLiteral("import.txt"), kPriceHeader + "NEW;Ж-1;Ж1;Деталь;X2;99;;;;;;;;;\n");
    write(QStringLiteral("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nNEW;Новая;3\n");
    const QByteArray before = databaseDigest();

    if (!message.isEmpty()) {
        try {
            update();
            QFAIL("the update succeeded");
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(database) && error.message().contains(message),
                     qPrintable(error.message()));
        }
        QCOMPARE(databaseDigest(), before);
        return;
    }
    update();
    QCOMPARE(m_folder->queryText("PRAGMA encoding"), encoding);
    QCOMPARE(m_folder->queryText("PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(rows("SELECT PARTNUMBER, PARTNAME FROM PRICE"), QStringList({"Ж-1|Деталь"}));
    QCOMPARE(rows("SELECT * FROM GROUPS"), QStringList({"NEW|Новая|3"}));
    QCOMPARE(rows("SELECT CL_NAME FROM SETTINGS"), QStringList({"ООО «Автомаркет Запад»"}));
    if (setup.contains("fts5")) {
        QCOMPARE(rows("SELECT TEXT FROM NOTES WHERE NOTES MATCH 'фильтры'"),
                 QStringList({"заказать фильтры"}));
        m_folder->exec("INSERT INTO NOTES(NOTES) VALUES ('integrity-check')");
    }
}

void TestPriceListUpdate::otherProgramsHeldOff()
{
    SKIP_ON_SERVER("SQLite's locks on Tardesk.mdb during the update");
    write(QStringLiteral("import.txt"), kPriceHeader + "NEW;A-1;A1;Деталь;X2;99;;;;;;;;;\n");
    // Another program with the file open, and a short patience.
    SQLite::Database other(m_folder->databaseFileName().toStdString(), SQLite::OPEN_READWRITE, 200);
    QStringList refused;
    m_folder->update([&](const QString& stage) {
        if (!stage.contains(QStringLiteral("(4/7)")))
            return;
        for (const char* sql : {"SELECT count(*) FROM PRICE", "UPDATE SETTINGS SET CL_NAME='изменено'"}) {
            try {
                other.exec(sql);
            } catch (const SQLite::Exception& error) {
                refused << QString::fromUtf8(error.what());
            }
        }
    });
    // Neither saw half a list, and the write failed rather than vanish.
    QCOMPARE(refused, QStringList({"database is locked", "database is locked"}));
    QCOMPARE(QString::fromStdString(other.execAndGet("SELECT group_concat(PARTNUMBER) FROM PRICE")),
             QStringLiteral("A-1"));
    other.exec("UPDATE SETTINGS SET CL_NAME='изменено'");
    QCOMPARE(rows("SELECT CL_NAME FROM SETTINGS"), QStringList({"изменено"}));
}

void TestPriceListUpdate::stopChangesNothing_data()
{
    QTest::addColumn<double>("share"); // of the calls that ask whether to stop
    // Else a stop asked for once the list is in may let it finish; never may
    // it say "stopped" then.
    QTest::addColumn<bool>("mustStop");
    QTest::newRow("at the first question") << 0.0 << true;
    QTest::newRow("halfway") << 0.5 << true;
    QTest::newRow("at the last question, while swapping the tables") << 1.0 << true;
    QTest::newRow("from the last question on, however late") << 1.0 << false;
}

void TestPriceListUpdate::stopChangesNothing()
{
    QFETCH(double, share);
    QFETCH(bool, mustStop);
    // Large enough for the indexes to take several questions.
    SampleGenerator(5000, 3).writeTextFiles(m_folder->path());
    const bool onServer = ClientFolder::onServer();
    const QString database = m_folder->databaseFileName();
    const QString pristine = m_folder->filePath(QStringLiteral("pristine.mdb"));
    QVERIFY(onServer || QFile::copy(database, pristine));
    // A whole update first, to count how often it asks, and in which stage.
    QStringList askedIn;
    update([&] {
        askedIn << m_stages.value(m_stages.size() - 1);
        return false;
    });
    const int asked = int(askedIn.size());
    QVERIFY(asked > 2);
    // The file goes back to its first state; a server keeps the list just loaded.
    if (!onServer) {
        m_folder->close();
        QVERIFY(QFile::remove(database) && QFile::copy(pristine, database));
    }
    const QByteArray before = databaseDigest();

    const int stopAt = std::max(1, int(asked * share));
    int count = 0;
    try {
        // A server's update asks as often as it waits, which timing decides:
        // there it stops at the first question of the same stage.
        update([&] {
            return ++count >= stopAt || (mustStop && onServer && m_stages.last() == askedIn[stopAt - 1]);
        });
        QVERIFY2(!mustStop, "the update was not stopped");
        QVERIFY(databaseDigest() != before);
        return;
    } catch (const Error& error) {
        QCOMPARE(error.message(), PriceListUpdate::stoppedMessage());
    }
    QCOMPARE(databaseDigest(), before);
    QCOMPARE(QDir(m_folder->path()).entryList({QStringLiteral("Tardesk.mdb-*"), QStringLiteral("~temp*")}),
             QStringList());
}

QTEST_GUILESS_MAIN(TestPriceListUpdate)
#include "TestPriceListUpdate.moc"
