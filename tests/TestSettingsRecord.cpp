#include "common/Error.h"
#include "data/ClientFiles.h"
#include "data/Database.h"
#include "data/SettingsRecord.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsRecord : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readsFirstRow();
    void editPostCancel();
    void emptyTableInsertsOnPost();
    void badColumns_data();
    void badColumns();
    void dateToleratesTimeAndNull();

private:
    void exec(const char* sql);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestSettingsRecord::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_file = m_dir->filePath(QStringLiteral("Tardesk.mdb"));
    ClientFiles::createDatabase(m_file);
}

void TestSettingsRecord::exec(const char* sql)
{
    SQLite::Database db(m_file.toStdString(), SQLite::OPEN_READWRITE);
    db.exec(sql);
}

void TestSettingsRecord::readsFirstRow()
{
    exec("INSERT INTO SETTINGS (CL_ID, RATE_USD) VALUES ('second', 1.5)");
    Database database;
    database.open(m_file);
    SettingsRecord record;
    record.open(database);
    QCOMPARE(record.state(), SettingsRecord::State::Browse);
    QCOMPARE(record.value(QStringLiteral("cl_id")).toString(), QStringLiteral("00017"));
    QCOMPARE(record.floatValue(QStringLiteral("RATE_USD")), 41.25);
    QCOMPARE(record.floatValue(QStringLiteral("NUMBER1")), 0.0);
    QVERIFY(record.value(QStringLiteral("PRICE_DATE")).isNull());
    QVERIFY_THROWS_EXCEPTION(Error, record.value(QStringLiteral("NOPE")));
}

void TestSettingsRecord::editPostCancel()
{
    Database database;
    database.open(m_file);
    SettingsRecord record;
    record.open(database);
    QSignalSpy values(&record, &SettingsRecord::valuesChanged);
    QSignalSpy states(&record, &SettingsRecord::stateChanged);

    QVERIFY_THROWS_EXCEPTION(Error, record.setValue(QStringLiteral("SUPP_PHONE"), QStringLiteral("1")));
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Edit);
    record.setValue(QStringLiteral("SUPP_PHONE"), QStringLiteral("222-33-44"));
    QCOMPARE(values.count(), 1);
    QCOMPARE(record.value(QStringLiteral("SUPP_PHONE")).toString(), QStringLiteral("222-33-44"));
    record.cancel();
    QCOMPARE(record.value(QStringLiteral("SUPP_PHONE")).toString(),
             QStringLiteral("(044) 501-23-45, факс (044) 501-23-46"));
    QCOMPARE(values.count(), 2);

    record.edit();
    record.setValue(QStringLiteral("RATE_EURO"), 44.4321);
    record.setValue(QStringLiteral("PRICE_DATE"), QDate(2026, 12, 7));
    record.post();
    QCOMPARE(record.state(), SettingsRecord::State::Browse);
    QCOMPARE(states.count(), 4);

    SettingsRecord reread;
    reread.open(database);
    QCOMPARE(reread.floatValue(QStringLiteral("RATE_EURO")), 44.4321);
    QCOMPARE(reread.dateValue(QStringLiteral("PRICE_DATE")), QDate(2026, 12, 7));
    // Untouched fields keep what was stored.
    QCOMPARE(reread.floatValue(QStringLiteral("RATE_USD")), 41.25);
    SQLite::Statement text(database.connection(), "SELECT PRICE_DATE FROM SETTINGS");
    QVERIFY(text.executeStep());
    QCOMPARE(text.getColumn(0).getString(), std::string("2026-12-07"));
}

void TestSettingsRecord::emptyTableInsertsOnPost()
{
    exec("DELETE FROM SETTINGS");
    Database database;
    database.open(m_file);
    SettingsRecord record;
    record.open(database);
    QCOMPARE(record.floatValue(QStringLiteral("RATE_USD")), 0.0);
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Insert);
    record.setValue(QStringLiteral("RATE_USD"), 40.0);
    record.post();
    record.edit();
    QCOMPARE(record.state(), SettingsRecord::State::Edit);
    record.setValue(QStringLiteral("CL_NAME"), QStringLiteral("Клиент"));
    record.post();
    SQLite::Statement count(database.connection(),
                            "SELECT count(*), max(RATE_USD), max(CL_NAME) FROM SETTINGS");
    QVERIFY(count.executeStep());
    QCOMPARE(count.getColumn(0).getInt(), 1);
    QCOMPARE(count.getColumn(1).getDouble(), 40.0);
    QCOMPARE(QString::fromUtf8(count.getColumn(2).getText()), QStringLiteral("Клиент"));
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
    exec("DROP TABLE SETTINGS");
    if (!columns.isEmpty())
        exec(QStringLiteral("CREATE TABLE SETTINGS (%1)").arg(columns).toUtf8().constData());
    Database database;
    database.open(m_file);
    SettingsRecord record;
    try {
        record.open(database);
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
    Database database;
    database.open(m_file);
    SettingsRecord record;
    record.open(database);
    QCOMPARE(record.dateValue(QStringLiteral("PRICE_DATE")), QDate(2025, 3, 4));
}

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
