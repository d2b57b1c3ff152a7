#include "core/import/PriceListUpdate.h"
#include "core/postgres/PgNameIndex.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "core/storage/NameIndex.h"
#include "core/storage/PriceCatalogue.h"
#include "core/text/NameWords.h"
#include "support/PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <tuple>

namespace {

const QByteArray kPriceHeader =
    "GROUPCODE;PARTNUMBER;SHORTPARTNUMBER;PARTNAME;CROSSNUMBER;PRICE;WH0;WH1;WH2;WH3;WH4;WH5;WH6;WH7;WH8\n";

// Names the server's own text search parser would split, join or fold
// otherwise: addresses, decimals, hyphens, apostrophes, scripts and marks.
// One name after another, between bars.
const char kTrickyNames[] =
    "Фильтр e-mail@mail.ru|Мотор 1.6i 16V|ВАЗ-2110 стойка|O'Ring кольцо|back\\slash шайба|Ø10 шайба|"
    "STRASSE Straße|ǅemal|ΣΊΣΥΦΟΣ σίσυφος|http://site.ru/path|2,5-литра|10W-40 масло|½ дюйма|x² датчик|"
    "Ⅻ часы|кольцо_уплотнительное|ПЕР.ЛЕВ.|нижн.правый|日本語 деталь|٣٤ арабские|İstanbul|ﬁlter|🚗машинка|"
    "ЁЛКА ёлка|Å ångström|Ǳ-образный|a\u0301 ударение|ﬀ ff";

// Parts whose names hold a word beginning with each word of query, as the
// program itself reads the names; their part numbers, sorted.
QStringList matching(const QStringList& names, const QStringList& query)
{
    QStringList numbers;
    for (int part = 0; part < names.size(); ++part) {
        const QStringList words = NameWords::indexed(names[part]).split(' ', Qt::SkipEmptyParts);
        const bool all = std::all_of(query.begin(), query.end(), [&](const QString& typed) {
            return std::any_of(words.begin(), words.end(),
                               [&](const QString& word) { return word.startsWith(typed); });
        });
        if (all)
            numbers << QStringLiteral("P%1").arg(part);
    }
    numbers.sort();
    return numbers;
}

QStringList numbersOf(const NameIndex::Found& found)
{
    QStringList numbers;
    for (const NameIndex::Match& match : found.shown)
        numbers << match.part.partNumber;
    numbers.sort();
    return numbers;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class TestPgNameIndex : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void splitsAsTheProgram_data();
    void splitsAsTheProgram();
    void shopFromBeforeTheIndex();
    void namesSwappedWithTheList();
    void ordersParts_data();
    void ordersParts();

private:
    // A database of its own holding an empty shop.
    QString newShop();
    // import.txt of names, part i numbered "P" + i, each its own cross.
    void writeList(const QStringList& names);
    void update(Storage& storage);

    PostgresServer m_server;
    QTemporaryDir m_files;
    QString m_trickyShop; // kTrickyNames loaded, for every row of splitsAsTheProgram
};

void TestPgNameIndex::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
    QVERIFY(m_files.isValid());
    writeFile(QDir(m_files.path()).filePath("importg.txt"), "GROUPCODE;GROUPNAME;DISCOUNT\nG1;Группа;0\n");
}

QString TestPgNameIndex::newShop()
{
    const QString connection = m_server.createDatabase();
    if (connection.isEmpty())
        qFatal("%s", qPrintable(m_server.error()));
    PgConnection db(connection);
    PgSchema::create(db);
    return connection;
}

void TestPgNameIndex::writeList(const QStringList& names)
{
    QByteArray lines = kPriceHeader;
    for (int part = 0; part < names.size(); ++part)
        lines += QStringLiteral("G1;P%1;P%1;%2;X%1;%1;;;;;;;;;\n").arg(part).arg(names[part]).toUtf8();
    writeFile(QDir(m_files.path()).filePath("import.txt"), lines);
}

void TestPgNameIndex::update(Storage& storage)
{
    PriceListUpdate(m_files.path(), storage, [](const QString&) {}).run();
    storage.resume();
}

void TestPgNameIndex::splitsAsTheProgram_data()
{
    QTest::addColumn<QString>("typed");
    for (const char* typed :
         {"mail",  "e mail ru", "mail.ru",   "1.6i",     "6i",      "16v",      "2110", "ваз",     "o ring",
          "oring", "slash",     "back\\",    "ø10",      "strasse", "straße",   "ǆe",   "σίσυφος", "ςί",
          "http",  "site path", "2,5-лит",   "литра",    "10w 40",  "½ дюй",    "x²",   "ⅻ час",   "кольцо",
          "уплот", "пер лев",   "нижн прав", "日本",     "٣٤",      "istanbul", "i̇st",  "fil",     "ﬁl",
          "машин", "елка",      "ёлк",       "ångström", "ǳ обр",   "á уд",     "ff",   "ﬀ ff"})
        QTest::newRow(typed) << QString::fromUtf8(typed);
}

void TestPgNameIndex::splitsAsTheProgram()
{
    QFETCH(QString, typed);
    const QStringList names = QString::fromUtf8(kTrickyNames).split(u'|');
    if (m_trickyShop.isEmpty()) {
        const QString shop = newShop();
        writeList(names);
        PgStorage storage(shop);
        update(storage);
        m_trickyShop = shop;
    }
    PgStorage storage(m_trickyShop);
    const QStringList query = NameWords::query(typed);
    QVERIFY(!query.isEmpty());
    const NameIndex::Found found = storage.names().find(query, -1);
    QCOMPARE(numbersOf(found), matching(names, query));
    QCOMPARE(found.total, qint64(found.shown.size()));
}

void TestPgNameIndex::shopFromBeforeTheIndex()
{
    // The roles as the README sets them up; the administrator's shop made
    // by a release that did not index names.
    const QString shop = m_server.createDatabase();
    PgConnection(shop).execScript(
        "CREATE ROLE tardesk_clerk LOGIN; "
        "ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT ON TABLES TO tardesk_clerk");
    const QString clerk = shop + " user=tardesk_clerk";
    {
        PgConnection db(shop);
        PgSchema::create(db);
        writeList({"Колодки тормозные", "Фильтр масляный", "Колодки барабанные"});
        PgStorage admin(shop);
        update(admin);
        db.execScript("DROP TABLE NAME_RUNS; DROP INDEX PRICE_ROW_NO; UPDATE TARDESK_SCHEMA SET VERSION = 1");
    }

    // The counters go on searching by number meanwhile.
    PgStorage counter(clerk);
    QVERIFY(!counter.names().isBuilt());
    QCOMPARE(counter.catalogue().crossesOf("P1"), QStringList{"X1"});
    const QStringList query = NameWords::query(u"колодки");
    try {
        counter.names().find(query, -1);
        QFAIL("found without an index");
    } catch (const Error& error) {
        QCOMPARE(error.message(), "Поиск по названию недоступен: обновите прайс-лист");
    }
    try {
        counter.buildNameIndex({});
        QFAIL("a clerk built the index");
    } catch (const Error& error) {
        QVERIFY2(error.message().startsWith("Поиск по названию недоступен: обновите прайс-лист. "
                                            "У роли tardesk_clerk нет права обновлять прайс-лист"),
                 qPrintable(error.message()));
    }
    QVERIFY(!counter.names().isBuilt());

    qint64 reported = 0;
    PgStorage(shop).buildNameIndex({{}, [&](qint64 done, qint64) { reported = done; }});
    QCOMPARE(reported, 3);
    QVERIFY(counter.names().isBuilt());
    QCOMPARE(counter.names().find(query, -1).total, 2);
    QCOMPARE(PgConnection(shop).exec(PgSchema::kSelectSchemaVersion).integer(0, 0), PgSchema::kVersion);

    // An update brings the index of a shop from before it as well.
    PgConnection(shop).execScript(
        "DROP TABLE NAME_RUNS; DROP INDEX PRICE_ROW_NO; UPDATE TARDESK_SCHEMA SET VERSION = 1");
    writeList({"Колодки тормозные"});
    PgStorage admin(shop);
    update(admin);
    QCOMPARE(counter.names().find(query, -1).total, 1);
    QCOMPARE(PgConnection(shop).exec(PgSchema::kSelectSchemaVersion).integer(0, 0), PgSchema::kVersion);
}

void TestPgNameIndex::namesSwappedWithTheList()
{
    const QString shop = newShop();
    QStringList first, second;
    for (int part = 0; part < 3000; ++part) {
        first << QStringLiteral("Альфа %1").arg(part % 7);
        second << QStringLiteral("Бета %1").arg(part % 5);
    }
    writeList(first);
    PgStorage admin(shop);
    update(admin);
    writeList(second);

    // A counter searching both names while the next list comes in: what it
    // finds is one list's parts, named as the words found, all counted.
    std::atomic<int> before{0}, after{0};
    QString wrong;
    std::thread counter([&] {
        PgStorage storage(shop);
        while (after == 0 && wrong.isEmpty()) {
            for (const QString& typed : {QStringLiteral("альфа 3"), QStringLiteral("бета 3")}) {
                const NameIndex::Found found = storage.names().find(NameWords::query(typed), 10);
                if (found.total == 0)
                    continue;
                const bool old = typed.startsWith(u'а');
                (old ? before : after)++;
                if (found.total != (old ? first : second).count(typed.at(0).toUpper() + typed.mid(1)) ||
                    found.shown.size() != 10)
                    wrong =
                        QStringLiteral("%1: %2 of %3").arg(typed).arg(found.shown.size()).arg(found.total);
                for (const NameIndex::Match& match : found.shown)
                    if (NameWords::indexed(match.part.partName) != typed)
                        wrong = typed + QStringLiteral(" found ") + match.part.partName;
            }
        }
    });
    QTRY_VERIFY(before > 0);
    update(admin);
    counter.join();
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY(after > 0);
}

void TestPgNameIndex::ordersParts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("parts");
    // How rows come: 1, 2, 3, ... as an update numbers them; in any order,
    // as a table is read; far apart.
    QTest::addColumn<QString>("rows");
    const QStringList few = {"Фильтр масляный", "Ремень ГРМ", "Свеча зажигания"};
    QTest::newRow("names over many blocks") << few << 5000 << "numbered";
    QTest::newRow("rows in any order") << few << 5000 << "shuffled";
    QTest::newRow("rows far apart") << few << 3000 << "sparse";
    QTest::newRow("names equal but for case")
        << QStringList{"Фильтр масляный", "ФИЛЬТР МАСЛЯНЫЙ", "фильтр Масляный", "Ёлка", "ёлка"} << 3000
        << "shuffled";
    // Equal words, different names: one run; a name without words between
    // ("—" sorts after "x!" and before "【x】") parts the runs around it.
    QTest::newRow("runs across names")
        << QStringList{"Фильтр, масляный", "Фильтр масляный", "Фильтр-масляный", "x", "x!", "—", "【x】", ""}
        << 2000 << "numbered";
}

void TestPgNameIndex::ordersParts()
{
    QFETCH(QStringList, names);
    QFETCH(int, parts);
    QFETCH(QString, rows);
    QRandomGenerator random(27);
    struct Part
    {
        qint64 row;
        QString name;
        QByteArray number;
        QByteArray group;
    };
    std::vector<Part> list;
    std::vector<qint64> rowNos;
    for (int at = 0; at < parts; ++at)
        rowNos.push_back(rows == "sparse" ? 1 + at * qint64(700001) : at + 1);
    if (rows == "shuffled")
        std::shuffle(rowNos.begin(), rowNos.end(), std::mt19937(27));
    PgNameRanking ranking;
    for (const qint64 row : rowNos) {
        // Few numbers and groups, so that parts tie on them; some prefixes of others.
        const QByteArray number = "A" + QByteArray::number(random.bounded(40)).repeated(random.bounded(1, 3));
        const QByteArray group =
            random.bounded(4) == 0 ? QByteArray() : "G" + QByteArray::number(random.bounded(3));
        list.push_back({row, names[random.bounded(names.size())], number, group});
        const QByteArray name = list.back().name.toUtf8();
        ranking.add(row, std::string_view(name.data(), size_t(name.size())),
                    std::string_view(number.data(), size_t(number.size())),
                    std::string_view(group.data(), size_t(group.size())));
    }
    ranking.finish();
    std::string copied;
    ranking.writeRuns([&copied](const std::string& chunk) { copied += chunk; });

    // The same order the plain way: by name, number, group and row, then
    // cut where the words change.
    std::sort(list.begin(), list.end(), [](const Part& a, const Part& b) {
        const QByteArray keyA = NameWords::orderKey(a.name).toUtf8(),
                         keyB = NameWords::orderKey(b.name).toUtf8();
        return std::tie(keyA, a.number, a.group, a.row) < std::tie(keyB, b.number, b.group, b.row);
    });
    QStringList expected;
    QString lastWords;
    for (const Part& part : list) {
        const QString words = NameWords::indexed(part.name);
        if (words.isEmpty()) {
            lastWords.clear();
            continue;
        }
        if (words != lastWords)
            expected << QString();
        lastWords = words;
        expected.back() += (expected.back().isEmpty() ? "" : ",") + QString::number(part.row);
    }
    QStringList found;
    for (const QString& line : QString::fromStdString(copied).split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split('\t');
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields[0].toInt(), found.size() + 1);
        QCOMPARE(fields[1].toInt(), fields[3].count(',') + 1);
        found << fields[3].mid(1, fields[3].size() - 2);
    }
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestPgNameIndex)
#include "TestPgNameIndex.moc"
