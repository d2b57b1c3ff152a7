#include "core/order/OrderQuantity.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "core/search/PriceGridColumns.h"
#include "core/storage/SettingsRecord.h"
#include "core/text/CaseFolding.h"
#include "support/ClientFolder.h"
#include "support/PostgresServer.h"

#include <QRandomGenerator>
#include <QTest>

#include <thread>

namespace {

const char kGroups[] =
    "INSERT INTO GROUPS VALUES ('G0', 'Без скидки', 0), ('G5', 'Пять', 5), ('ГР', 'Кириллица', 10)";

// A part's texts and amounts as the grid shows them, for comparing answers.
QString shown(const PriceRow& row)
{
    QStringList columns{row.groupCode, row.partNumber, row.shortPartNumber};
    for (int column = 0; column < PriceGridColumns::kGridCount; ++column)
        columns << PriceGridColumns::text(row, column);
    return columns.join('|');
}

PriceRow part(const QString& group, const QString& number)
{
    PriceRow row;
    row.groupCode = group;
    row.partNumber = number;
    row.shortPartNumber = number;
    return row;
}

QStringList shown(const std::vector<PriceRow>& rows)
{
    QStringList result;
    for (const PriceRow& row : rows)
        result << shown(row);
    return result;
}

QString caseFoldingLower(const QString& text)
{
    QString lower;
    for (const QChar ch : text)
        lower += CaseFolding::lower(ch);
    return lower;
}

QString sqlText(const QString& text)
{
    return text.isNull() ? QString("NULL") : "'" + text + "'";
}

} // namespace

class TestPgStorage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sameAnswersAsEmbedded();
    void seesOtherProgramsChanges_data();
    void seesOtherProgramsChanges();
    void partsByNumber_data();
    void partsByNumber();
    void settings();
    void settingsColumnsChecked_data();
    void settingsColumnsChecked();
    void twoCountersSaveIntoEmptySettings();
    void order();
    void twoCountersAddAtOnce();

private:
    void exec(const QString& sql) { PgConnection(m_connection).exec(sql.toStdString()); }
    void parts(const QStringList& values); // "GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, CROSSNUMBER, PRICE"

    PostgresServer m_server;
    QString m_connection;
    std::unique_ptr<PgStorage> m_storage;
};

void TestPgStorage::initTestCase()
{
    QVERIFY2(m_server.start(), qPrintable(m_server.error()));
}

void TestPgStorage::init()
{
    m_connection = m_server.createDatabase();
    QVERIFY2(!m_connection.isEmpty(), qPrintable(m_server.error()));
    PgConnection db(m_connection);
    PgSchema::create(db);
    db.exec(kGroups);
    m_storage = std::make_unique<PgStorage>(m_connection);
}

void TestPgStorage::cleanup()
{
    m_storage.reset();
}

void TestPgStorage::parts(const QStringList& values)
{
    exec("INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, CROSSNUMBER, PRICE) VALUES (" +
         values.join("), (") + ")");
}

void TestPgStorage::sameAnswersAsEmbedded()
{
    // One random list in both engines, every kind of lookup compared.
    QRandomGenerator random(7);
    const QString letters = "AaBbXxЖжЯяЄєІіЇїЁё0123-%_";
    const auto text = [&](int length) {
        QString result;
        for (int i = 0; i < length; ++i)
            result += letters[random.bounded(int(letters.size()))];
        return result;
    };
    const QStringList groups{"'G0'", "'g5'", "'G5'", "'ГР'", "'гр'", "'ёж'", "'GN'", "NULL", "'NOPE'"};
    QStringList crosses{"NULL", "''"};
    for (int i = 0; i < 60; ++i)
        crosses << sqlText(text(1 + random.bounded(4)));
    QStringList rows, numbers;
    for (int i = 0; i < 3000; ++i) {
        const QString number = text(3 + random.bounded(5));
        numbers << number;
        const QString price =
            random.bounded(10) == 0 ? "NULL" : QString::number(random.bounded(10000) / 100.0);
        rows << groups[random.bounded(int(groups.size()))] + ", " + sqlText(number) + ", " +
                    sqlText(random.bounded(4) ? number : number.toLower()) + ", " +
                    crosses[random.bounded(int(crosses.size()))] + ", " + price;
    }
    ClientFolder embedded;
    embedded.exec(kGroups);
    // Two groups of one code ignoring case: a part joins both.
    const char otherGroups[] =
        "INSERT INTO GROUPS VALUES ('g5', 'Пять малых', 7), ('GN', 'Без скидки', NULL), ('ЁЖ', 'Ёж', 1)";
    embedded.exec(otherGroups);
    exec(otherGroups);
    const QString insert = "INSERT INTO PRICE (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, CROSSNUMBER, PRICE) "
                           "VALUES (" +
                           rows.join("), (") + ")";
    embedded.exec(insert.toStdString());
    exec(insert);

    PriceCatalogue& expected = embedded.storage().catalogue();
    PriceCatalogue& actual = m_storage->catalogue();
    const PriceCatalogue::Rates rates{40, 50};
    int several = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const QString number = numbers[random.bounded(int(numbers.size()))];
        const QString searchNr = number.left(1 + random.bounded(int(number.size()))).toUpper();
        const QStringList found = actual.crossesOf(searchNr);
        QCOMPARE(found, expected.crossesOf(searchNr));
        several += found.size() > 1;
        for (const QString& cross : found.mid(0, 2))
            QCOMPARE(shown(actual.priceList(caseFoldingLower(cross), rates)),
                     shown(expected.priceList(cross, rates)));
        const QString shortNumber = random.bounded(2) ? number : number.toUpper();
        for (const auto scope : {PriceCatalogue::Scope::ShortNumber, PriceCatalogue::Scope::WholeList})
            QCOMPARE(shown(actual.partsByNumber(number.toUpper(), "", shortNumber, scope)),
                     shown(expected.partsByNumber(number.toUpper(), "", shortNumber, scope)));
    }
    QVERIFY(several > 50);
}

void TestPgStorage::seesOtherProgramsChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("insert") << "INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('ab3', 'X0')"
                            << QStringList{"X0", "X1", "X2"};
    QTest::newRow("update") << "UPDATE PRICE SET CROSSNUMBER = 'W1' WHERE SHORTPARTNUMBER = 'AB1'"
                            << QStringList{"W1", "X2"};
    QTest::newRow("delete") << "DELETE FROM PRICE WHERE SHORTPARTNUMBER = 'AB2'" << QStringList{"X1"};
    QTest::newRow("truncate") << "TRUNCATE PRICE" << QStringList{};
    QTest::newRow("settings saved") << "UPDATE SETTINGS SET RATE_USD = 42.5" << QStringList{"X1", "X2"};
}

void TestPgStorage::seesOtherProgramsChanges()
{
    QFETCH(QString, change);
    QFETCH(QStringList, expected);
    exec("INSERT INTO PRICE (SHORTPARTNUMBER, CROSSNUMBER) VALUES ('AB1', 'X1'), ('AB2', 'X2'), ('CD1', "
         "'Y1')");
    PriceCatalogue& catalogue = m_storage->catalogue();
    QCOMPARE(catalogue.crossesOf("ab"), QStringList({"X1", "X2"}));
    const qint64 version = PgConnection(m_connection).exec(PgSchema::kSelectListVersion).integer(0, 0);
    exec(change);
    QCOMPARE(catalogue.crossesOf("ab"), expected);
    // Only a change of the list makes the counters read their maps again.
    QCOMPARE(PgConnection(m_connection).exec(PgSchema::kSelectListVersion).integer(0, 0) == version,
             change.contains("SETTINGS"));
}

void TestPgStorage::partsByNumber_data()
{
    QTest::addColumn<QString>("partNumber");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shortNumber");
    QTest::addColumn<bool>("wholeList");
    QTest::addColumn<QStringList>("expected"); // group and number of each part found
    QTest::newRow("in two groups, in the list's order")
        << "oc-90"
        << ""
        << "OC90" << false << QStringList{"G5 OC-90", "G0 OC-90"};
    QTest::newRow("group ignoring case") << "OC-90"
                                         << "g0"
                                         << "OC90" << false << QStringList{"G0 OC-90"};
    QTest::newRow("the spelling given first") << "ab-1"
                                              << ""
                                              << "ab1" << false << QStringList{"G0 ab-1"};
    QTest::newRow("other spellings when it finds none")
        << "AB-1"
        << ""
        << "aB1" << false << QStringList{"G5 AB-1", "G0 ab-1"};
    QTest::newRow("short form written otherwise: not in the index") << "ёж-2110"
                                                                    << ""
                                                                    << "Ж2110" << false << QStringList{};
    QTest::newRow("short form written otherwise: through the whole list")
        << "ёж-2110"
        << ""
        << "Ж2110" << true << QStringList{"ГР ЁЖ-2110"};
    QTest::newRow("group missing") << "X-1"
                                   << ""
                                   << "X1" << true << QStringList{};
    QTest::newRow("wildcards are plain characters") << "%_"
                                                    << ""
                                                    << "none" << true << QStringList{"G0 %_"};
}

void TestPgStorage::partsByNumber()
{
    QFETCH(QString, partNumber);
    QFETCH(QString, group);
    QFETCH(QString, shortNumber);
    QFETCH(bool, wholeList);
    QFETCH(QStringList, expected);
    parts({"'G5', 'OC-90', 'OC90', 'K7', 99", "'G0', 'ab-1', 'ab1', 'K1', 1", "'G5', 'AB-1', 'AB1', 'K1', 2",
           "'G0', 'OC-90', 'OC90', 'K8', 30", "'ГР', 'ЁЖ-2110', 'ЁЖ2110', 'A1', 5",
           "'NOPE', 'X-1', 'X1', 'A2', 5", "'G0', '%_', 'PCT', 'A3', 5", "'G0', 'ab', 'ab', 'A3', 5"});
    QStringList found;
    for (const PriceRow& row : m_storage->catalogue().partsByNumber(
             partNumber, group, shortNumber,
             wholeList ? PriceCatalogue::Scope::WholeList : PriceCatalogue::Scope::ShortNumber))
        found << row.groupCode + " " + row.partNumber;
    QCOMPARE(found, expected);
}

void TestPgStorage::settings()
{
    exec("INSERT INTO SETTINGS (CL_ID) VALUES ('00018')");
    SettingsRecord record;
    record.open(m_storage->settings());
    QCOMPARE(record.value(Tables::SettingsField::CL_ID).toString(), "00017");
    QCOMPARE(record.floatValue(Tables::SettingsField::RATE_USD), 41.25);
    QVERIFY(record.value(Tables::SettingsField::PRICE_DATE).isNull());
    record.edit();
    record.setValue(Tables::SettingsField::RATE_EURO, 44.4321);
    record.setValue(Tables::SettingsField::INTEGER1, 7);
    record.post();
    record.storePriceDate(QDate(2026, 12, 7));

    PgStorage other(m_connection);
    SettingsRecord reread;
    reread.open(other.settings());
    QCOMPARE(reread.floatValue(Tables::SettingsField::RATE_EURO), 44.4321);
    QCOMPARE(reread.value(Tables::SettingsField::INTEGER1).toLongLong(), 7);
    QCOMPARE(reread.dateValue(Tables::SettingsField::PRICE_DATE), QDate(2026, 12, 7));
    QCOMPARE(reread.floatValue(Tables::SettingsField::RATE_USD), 41.25);
    // The later save wins, field by field.
    reread.edit();
    reread.setValue(Tables::SettingsField::RATE_EURO, 45.0);
    reread.post();
    record.edit();
    record.setValue(Tables::SettingsField::RATE_USD, 42.0);
    record.post();
    SettingsRecord third;
    third.open(m_storage->settings());
    QCOMPARE(third.floatValue(Tables::SettingsField::RATE_EURO), 45.0);
    QCOMPARE(third.floatValue(Tables::SettingsField::RATE_USD), 42.0);
}

void TestPgStorage::settingsColumnsChecked_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing labelled") << "ALTER TABLE SETTINGS DROP COLUMN CL_ID"
                                      << "ADOTableSettings: Field 'Код' not found";
    QTest::newRow("rate as text") << "ALTER TABLE SETTINGS ALTER RATE_USD TYPE varchar(10)"
                                  << "ADOTableSettings: Type mismatch for field 'Курс USD', expecting: "
                                     "double precision actual: character varying";
    QTest::newRow("compatible types")
        << "ALTER TABLE SETTINGS ALTER INTEGER1 TYPE numeric, ALTER PRICE_DATE TYPE date"
        << "";
    QTest::newRow("no table") << "DROP TABLE SETTINGS"
                              << "relation \"settings\" does not exist";
}

void TestPgStorage::settingsColumnsChecked()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    exec(change);
    try {
        m_storage->settings().checkColumns();
        QCOMPARE(QString(), message);
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
}

void TestPgStorage::twoCountersSaveIntoEmptySettings()
{
    exec("DELETE FROM SETTINGS");
    PgStorage other(m_connection);
    SettingsRecord first, second;
    first.open(m_storage->settings());
    second.open(other.settings());
    first.edit();
    second.edit();
    first.setValue(Tables::SettingsField::CL_NAME, "Первый");
    second.setValue(Tables::SettingsField::RATE_USD, 40.0);
    first.post();
    second.post();
    const PgResult rows =
        PgConnection(m_connection).exec("SELECT count(*), max(CL_NAME), max(RATE_USD) FROM SETTINGS");
    // One row, the later save's whole.
    QCOMPARE(rows.string(0, 0) + "|" + rows.string(0, 1) + "|" + rows.string(0, 2), "1||40");
}

void TestPgStorage::order()
{
    OrderStorage& order = m_storage->order();
    QCOMPARE(order.add(part("G5", "ЁЖ-2110"), 2), 2);
    QCOMPARE(order.add(part("g5", "ёж-2110"), 3), 5);
    QCOMPARE(order.add(part("g5", "OC-90"), 1), 1);
    QVERIFY_THROWS_EXCEPTION(Error, order.add(part("G5", "OC-90"), OrderQuantity::kMax));
    std::vector<OrderStorage::Line> lines = order.lines();
    QCOMPARE(lines.size(), size_t(2));
    QCOMPARE(lines[0].partNumber + " " + lines[0].groupCode + " " + QString::number(lines[0].quantity),
             "ЁЖ-2110 G5 5");
    QCOMPARE(lines[1].quantity, 1);

    // A line another counter removed meanwhile.
    PgStorage other(m_connection);
    other.order().remove(lines[1].id);
    for (const auto& change : std::initializer_list<std::function<void()>>{
             [&] { order.setQuantity(lines[1].id, 4); }, [&] { order.remove(lines[1].id); }}) {
        try {
            change();
            QFAIL("changed a line that is gone");
        } catch (const Error& error) {
            QCOMPARE(error.message(), "Строки уже нет в заказе: его изменили в другом окне");
        }
    }
    order.clear();
    QVERIFY(other.order().lines().empty());
}

void TestPgStorage::twoCountersAddAtOnce()
{
    constexpr int kAdds = 40;
    std::vector<std::thread> counters;
    std::vector<QString> failures(3);
    const QStringList parts{"A-1", "a-1", "B-2"};
    for (int c = 0; c < 3; ++c)
        counters.emplace_back([this, &failures, &parts, c] {
            try {
                PgStorage counter(m_connection);
                for (int i = 0; i < kAdds; ++i)
                    counter.order().add(part("G0", parts[c]), 1);
            } catch (const Error& error) {
                failures[size_t(c)] = error.message();
            }
        });
    for (std::thread& counter : counters)
        counter.join();
    QCOMPARE(failures, std::vector<QString>(3));
    QStringList lines;
    for (const OrderStorage::Line& line : m_storage->order().lines())
        lines << line.partNumber.toUpper() + " " + QString::number(line.quantity);
    lines.sort();
    QCOMPARE(lines, QStringList({"A-1 " + QString::number(2 * kAdds), "B-2 " + QString::number(kAdds)}));
}

QTEST_GUILESS_MAIN(TestPgStorage)
#include "TestPgStorage.moc"
