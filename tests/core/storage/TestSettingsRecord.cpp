#include "core/errors/Error.h"
#include "core/storage/SettingsRecord.h"
#include "core/storage/SettingsStorage.h"
#include "support/ClientFolder.h"
#include "support/DecimalSeparator.h"

#include <QSignalSpy>
#include <QTest>

class TestSettingsRecord : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsFirstRow();
    void editPostCancel();
    void emptyTableInsertsOnPost();
    void badColumns_data();
    void badColumns();
    void dateToleratesTimeAndNull();
    void setText_data();
    void setText();
    void invalidRateKeepsEditing_data();
    void invalidRateKeepsEditing();
    void storePriceDate_data();
    void storePriceDate();

private:
    void exec(const std::string& sql) { m_folder->exec(sql); }
    SettingsStorage& settingsStorage() { return m_folder->storage().settings(); }

    std::unique_ptr<ClientFolder> m_folder;
};

void TestSettingsRecord::init()
{
    m_folder = std::make_unique<ClientFolder>();
}

void TestSettingsRecord::cleanup()
{
    m_folder.reset();
}

void TestSettingsRecord::readsFirstRow()
{
    exec("INSERT INTO SETTINGS (CL_ID, RATE_USD) VALUES ('2nd', 1.5)");
    SettingsRecord record;
    record.open(settingsStorage());
    QCOMPARE(record.state(), SettingsRecord::State::Browse);
    QCOMPARE(record.value(Tables::SettingsField::CL_ID).toString(), QStringLiteral("00017"));
    QCOMPARE(record.floatValue(Tables::SettingsField::RATE_USD), 41.25);
    QCOMPARE(record.floatValue(Tables::SettingsField::NUMBER1), 0.0);
    QVERIFY(record.value(Tables::SettingsField::PRICE_DATE).isNull());
}

void TestSettingsRecord::editPostCancel()
{
    SettingsRecord record;
    record.open(settingsStorage());
    QSignalSpy values(&record, &SettingsRecord::valuesChanged);
    QSignalSpy states(&record, &SettingsRecord::stateChanged);

    QVERIFY_THROWS_EXCEPTION(Error, record.setValue(Tables::SettingsField::SUPP_PHONE, QStringLiteral("1")));
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Edit);
    record.setValue(Tables::SettingsField::SUPP_PHONE, QStringLiteral("222-33-44"));
    QCOMPARE(values.count(), 1);
    QCOMPARE(record.value(Tables::SettingsField::SUPP_PHONE).toString(), QStringLiteral("222-33-44"));
    record.cancel();
    QCOMPARE(record.value(Tables::SettingsField::SUPP_PHONE).toString(),
             QStringLiteral("(044) 501-23-45, факс (044) 501-23-46"));
    QCOMPARE(values.count(), 2);

    record.edit();
    record.setValue(Tables::SettingsField::RATE_EURO, 44.4321);
    record.setValue(Tables::SettingsField::PRICE_DATE, QDate(2026, 12, 7));
    record.post();
    QCOMPARE(record.state(), SettingsRecord::State::Browse);
    QCOMPARE(states.count(), 4);

    SettingsRecord reread;
    reread.open(settingsStorage());
    QCOMPARE(reread.floatValue(Tables::SettingsField::RATE_EURO), 44.4321);
    QCOMPARE(reread.dateValue(Tables::SettingsField::PRICE_DATE), QDate(2026, 12, 7));
    // Untouched fields keep what was stored.
    QCOMPARE(reread.floatValue(Tables::SettingsField::RATE_USD), 41.25);
    QCOMPARE(m_folder->queryRows("SELECT substr(CAST(PRICE_DATE AS text), 1, 10) FROM SETTINGS"),
             QStringList{"2026-12-07"});
}

void TestSettingsRecord::emptyTableInsertsOnPost()
{
    exec("DELETE FROM SETTINGS");
    SettingsRecord record;
    record.open(settingsStorage());
    QCOMPARE(record.floatValue(Tables::SettingsField::RATE_USD), 0.0);
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Insert);
    record.setValue(Tables::SettingsField::RATE_USD, 40.0);
    record.post();
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Edit);
    record.setValue(Tables::SettingsField::CL_NAME, QStringLiteral("Клиент"));
    record.post();
    QCOMPARE(m_folder->queryText("SELECT count(*) FROM SETTINGS"), QStringLiteral("1"));
    SettingsRecord reread;
    reread.open(settingsStorage());
    QCOMPARE(reread.floatValue(Tables::SettingsField::RATE_USD), 40.0);
    QCOMPARE(reread.value(Tables::SettingsField::CL_NAME).toString(), QStringLiteral("Клиент"));
}

void TestSettingsRecord::badColumns_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("message");

    const QString all = QStringLiteral(
        "CL_ID TEXT(5), CL_NAME TEXT(50), CL_ADDRESS TEXT(60), CL_EMAIL TEXT(50), SUPP_NAME TEXT(50), "
        "SUPP_ADRES TEXT(60), SUPP_PHONE TEXT(50), SUPP_EMAIL TEXT(50), RATE_USD DOUBLE, RATE_EURO DOUBLE, "
        "PRICE_DATE DATETIME, STRING1 TEXT(50), STRING2 TEXT(50), STRING3 TEXT(50), INTEGER1 INTEGER, "
        "INTEGER2 INTEGER, NUMBER1 DOUBLE, NUMBER2 DOUBLE");
    QString noId = all;
    noId.remove(QStringLiteral("CL_ID TEXT(5), "));
    QTest::newRow("missing labelled") << noId << "ADOTableSettings: Field 'Код' not found";
    QString noString2 = all;
    noString2.remove(QStringLiteral("STRING2 TEXT(50), "));
    QTest::newRow("missing reserved") << noString2 << "ADOTableSettings: Field 'STRING2' not found";
    QString rateText = all;
    rateText.replace(QStringLiteral("RATE_USD DOUBLE"), QStringLiteral("RATE_USD TEXT(10)"));
    QTest::newRow("rate as text")
        << rateText << "ADOTableSettings: Type mismatch for field 'Курс USD', expecting: REAL actual: TEXT";
    QString phoneNumber = all;
    phoneNumber.replace(QStringLiteral("SUPP_PHONE TEXT(50)"), QStringLiteral("SUPP_PHONE INTEGER"));
    QTest::newRow("text as integer")
        << phoneNumber
        << "ADOTableSettings: Type mismatch for field 'Телефоны', expecting: TEXT actual: INTEGER";
    QString numericOk = all;
    numericOk.replace(QStringLiteral("INTEGER1 INTEGER"), QStringLiteral("INTEGER1 NUMERIC"))
        .replace(QStringLiteral("PRICE_DATE DATETIME"), QStringLiteral("price_date varchar(20)"));
    QTest::newRow("compatible affinities") << numericOk << "";
    QTest::newRow("no table") << QString() << "no such table: SETTINGS";
}

void TestSettingsRecord::badColumns()
{
    QFETCH(QString, columns);
    QFETCH(QString, message);
    SKIP_ON_SERVER("the declared types and messages are the embedded file's; PgSchema makes the server's");
    exec("DROP TABLE SETTINGS");
    if (!columns.isEmpty())
        exec(QStringLiteral("CREATE TABLE SETTINGS (%1)").arg(columns).toStdString());
    SettingsRecord record;
    try {
        record.open(settingsStorage());
        QCOMPARE(QString(), message);
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    } catch (const std::exception& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

void TestSettingsRecord::dateToleratesTimeAndNull()
{
    exec("UPDATE SETTINGS SET PRICE_DATE='2025-03-04 10:11:12'");
    SettingsRecord record;
    record.open(settingsStorage());
    QCOMPARE(record.dateValue(Tables::SettingsField::PRICE_DATE), QDate(2025, 3, 4));
}

void TestSettingsRecord::setText_data()
{
    QTest::addColumn<Tables::SettingsField>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("rate kept unrounded")
        << Tables::SettingsField::RATE_USD << "41.2345" << QVariant(41.2345) << "41.23";
    QTest::newRow("rate shown rounded half up")
        << Tables::SettingsField::RATE_USD << "41.245" << QVariant(41.245) << "41.25";
    QTest::newRow("rate with exponent")
        << Tables::SettingsField::RATE_EURO << "4.5e1" << QVariant(45.0) << "45.00";
    QTest::newRow("emptied rate has no value") << Tables::SettingsField::RATE_EURO << "" << QVariant() << "";
    QTest::newRow("text as typed") << Tables::SettingsField::SUPP_PHONE << " 222-33-44 "
                                   << QVariant(" 222-33-44 ") << " 222-33-44 ";
}

void TestSettingsRecord::setText()
{
    QFETCH(Tables::SettingsField, column);
    QFETCH(QString, text);
    QFETCH(QVariant, stored);
    QFETCH(QString, shown);
    SettingsRecord record;
    record.open(settingsStorage());
    record.edit();
    record.setText(column, regional(text));
    QCOMPARE(record.text(column), regional(shown));
    record.post();

    SettingsRecord reread;
    reread.open(settingsStorage());
    QCOMPARE(reread.value(column), stored);
    QCOMPARE(reread.text(column), regional(shown));
}

void TestSettingsRecord::invalidRateKeepsEditing_data()
{
    QTest::addColumn<Tables::SettingsField>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("dollar") << Tables::SettingsField::RATE_USD << "1-2"
                            << "'1-2' is not a valid floating point value for field 'Курс USD'";
    QTest::newRow("euro") << Tables::SettingsField::RATE_EURO << "e"
                          << "'e' is not a valid floating point value for field 'Курс EUR'";
}

void TestSettingsRecord::invalidRateKeepsEditing()
{
    QFETCH(Tables::SettingsField, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    SettingsRecord record;
    record.open(settingsStorage());
    const QVariant before = record.value(column);
    record.edit();
    QSignalSpy values(&record, &SettingsRecord::valuesChanged);
    try {
        record.setText(column, text);
        QFAIL("the text was accepted");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(record.state(), SettingsRecord::State::Edit);
    QCOMPARE(record.value(column), before);
    QCOMPARE(values.count(), 0);
}

void TestSettingsRecord::storePriceDate_data()
{
    QTest::addColumn<bool>("emptyTable");
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("post");

    QTest::newRow("not editing") << false << false << false;
    QTest::newRow("pending edit saved") << false << true << true;
    QTest::newRow("pending edit cancelled") << false << true << false;
    QTest::newRow("empty table") << true << false << false;
    QTest::newRow("pending new row saved") << true << true << true;
    QTest::newRow("pending new row cancelled") << true << true << false;
}

void TestSettingsRecord::storePriceDate()
{
    QFETCH(bool, emptyTable);
    QFETCH(bool, editing);
    QFETCH(bool, post);
    if (emptyTable)
        exec("DELETE FROM SETTINGS");
    SettingsRecord record;
    record.open(settingsStorage());
    const QString phoneBefore = record.value(Tables::SettingsField::SUPP_PHONE).toString();
    if (editing) {
        record.edit();
        record.setText(Tables::SettingsField::SUPP_PHONE, QStringLiteral("222-33-44"));
    }
    const QDate date(2026, 12, 7);
    record.storePriceDate(date);
    QCOMPARE(record.isEditing(), editing);
    QCOMPARE(record.dateValue(Tables::SettingsField::PRICE_DATE), date);

    SettingsRecord stored;
    stored.open(settingsStorage());
    QCOMPARE(stored.dateValue(Tables::SettingsField::PRICE_DATE), date);
    QCOMPARE(stored.value(Tables::SettingsField::SUPP_PHONE).toString(), phoneBefore);

    if (editing) {
        QCOMPARE(record.value(Tables::SettingsField::SUPP_PHONE).toString(), QStringLiteral("222-33-44"));
        if (post)
            record.post();
        else
            record.cancel();
    }
    const QString phone = post ? QStringLiteral("222-33-44") : phoneBefore;
    QCOMPARE(record.dateValue(Tables::SettingsField::PRICE_DATE), date);
    QCOMPARE(record.value(Tables::SettingsField::SUPP_PHONE).toString(), phone);
    QCOMPARE(
        m_folder->queryRows(
            "SELECT count(*), max(substr(CAST(PRICE_DATE AS text), 1, 10)), max(SUPP_PHONE) FROM SETTINGS"),
        QStringList{"1|2026-12-07|" + phone});
}

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
