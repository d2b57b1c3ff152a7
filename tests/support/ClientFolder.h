#pragma once

#include "core/config/IniFile.h"
#include "core/import/PriceListUpdate.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"
#include "core/search/PartSearch.h"
#include "core/session/ShopStorage.h"
#include "core/storage/SettingsRecord.h"
#include "core/storage/Storage.h"
#include "support/PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <functional>
#include <memory>
#include <string>

// A shop's folder in a temporary directory, made as `tardesk-admin init`
// makes it, with what a test puts in it: rows by SQL, files by name. Its
// storage opens on first use, as a tool that only reads opens it.
//
// TARDESK_TEST_ENGINE=postgres keeps each folder's shop in a database of
// its own on the test executable's server, named in its Tardesk.ini, so
// that the same test checks both engines. Seeding SQL must then read the
// same on both: PRICE and SETTINGS end in a ROW_NO the server numbers, so
// a positional INSERT of a part's fifteen columns works on either.
class ClientFolder
{
public:
    ClientFolder()
    {
        QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
        if (!onServer()) {
            ShopStorage::create(m_dir.path());
            return;
        }
        m_connection = server().createDatabase();
        QVERIFY2(!m_connection.isEmpty(), qPrintable(server().error()));
        PgConnection db(m_connection);
        PgSchema::create(db);
        writeIni(QByteArray());
    }

    static bool onServer()
    {
        return qEnvironmentVariable("TARDESK_TEST_ENGINE") == QLatin1String("postgres");
    }
    // The server of this test executable, started on first use. A machine
    // without PostgreSQL fails the test rather than skipping it.
    static PostgresServer& server()
    {
        static PostgresServer instance;
        if (!instance.start())
            qFatal("%s", qPrintable(instance.error()));
        return instance;
    }
    // The engine's message for a missing table.
    static QString noSuchTable(const QString& table)
    {
        return onServer() ? QStringLiteral("relation \"%1\" does not exist").arg(table.toLower())
                          : QStringLiteral("no such table: ") + table;
    }
    // The column that keeps rows in the order they were added, for ORDER BY.
    static const char* rowOrder() { return onServer() ? "ctid" : "rowid"; }

    const QString& path() const { return m_path; }
    // The shop's libpq connection string; empty in Tardesk.mdb.
    const QString& connection() const { return m_connection; }
    QString filePath(const QString& name) const { return QDir(m_path).filePath(name); }
    QString databaseFileName() const { return ShopStorage::databaseFileName(m_path); }
    QString iniFileName() const { return IniFile::clientFileName(m_path); }

    // text as an SQL string literal, for statements given to exec().
    static std::string quoted(const QString& text)
    {
        return '\'' + QString(text).replace(QLatin1Char('\''), QLatin1String("''")).toStdString() + '\'';
    }
    // Statements run on their own connection, committed before they return.
    void exec(const std::string& sql) const
    {
        if (onServer()) {
            PgConnection(m_connection).execScript(sql);
            return;
        }
        SQLite::Database db(databaseFileName().toStdString(), SQLite::OPEN_READWRITE);
        db.exec(sql);
    }
    // The first value of a query, for checking what the program stored.
    QString queryText(const std::string& sql) const
    {
        if (onServer())
            return PgConnection(m_connection).exec(sql).string(0, 0);
        SQLite::Database db(databaseFileName().toStdString(), SQLite::OPEN_READONLY);
        return QString::fromStdString(db.execAndGet(sql).getString());
    }
    // Every row of a query, its values joined by "|" (NULL as nothing).
    QStringList queryRows(const std::string& sql) const
    {
        QStringList rows;
        if (onServer()) {
            const PgResult result = PgConnection(m_connection).exec(sql);
            for (int row = 0; row < result.rows(); ++row) {
                QStringList values;
                for (int column = 0; column < result.columns(); ++column)
                    values << result.string(row, column);
                rows << values.join(QLatin1Char('|'));
            }
            return rows;
        }
        SQLite::Database db(databaseFileName().toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement query(db, sql);
        while (query.executeStep()) {
            QStringList values;
            for (int i = 0; i < query.getColumnCount(); ++i)
                values << QString::fromUtf8(query.getColumn(i).getText());
            rows << values.join(QLatin1Char('|'));
        }
        return rows;
    }

    void writeFile(const QString& name, const QByteArray& content) const
    {
        QFile file(filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }
    // Tardesk.ini with content, and the shop's server when it has one.
    void writeIni(const QByteArray& content) const
    {
        writeFile(QStringLiteral("Tardesk.ini"),
                  m_connection.isEmpty()
                      ? content
                      : content + "\n[Server]\nConnection=" + m_connection.toUtf8() + '\n');
    }

    Storage& storage()
    {
        if (!m_storage)
            m_storage = ShopStorage::open(m_path, ShopStorage::Access::Read);
        return *m_storage;
    }
    // The settings record over storage(), read when first asked for.
    SettingsRecord& settings()
    {
        if (!m_settings.isOpen())
            m_settings.open(storage().settings());
        return m_settings;
    }
    PartSearch search() { return PartSearch(storage().catalogue(), settings()); }
    // Another program's storage on this folder, opened anew: it sees only
    // what storage() has committed.
    std::unique_ptr<Storage> openStorage() const
    {
        return ShopStorage::open(m_path, ShopStorage::Access::Read);
    }
    // The price list update from the supplier's files in the folder, run on
    // storage(), which is picked up again afterwards whatever the outcome.
    PriceListUpdate::Outcome update(
        const PriceListUpdate::StageCallback& onStage = [](const QString&) {},
        const std::function<bool()>& stopRequested = {})
    {
        PriceListUpdate run(m_path, storage(), onStage);
        run.setStopRequest(stopRequested);
        PriceListUpdate::Outcome outcome;
        try {
            outcome = run.run();
        } catch (...) {
            m_storage->resume();
            throw;
        }
        m_storage->resume();
        return outcome;
    }
    // Lets go of the storage, so that an update or another program may replace the file.
    void close()
    {
        m_settings.close();
        m_storage.reset();
    }

private:
    QTemporaryDir m_dir;
    QString m_path = m_dir.path();
    QString m_connection;
    std::unique_ptr<Storage> m_storage;
    SettingsRecord m_settings;
};

// Skips a case that checks the embedded file itself (its bytes, pragmas,
// journal or lock), which a shop on a server does not have.
// QSKIP itself is variadic, which clang's -pedantic refuses with one argument.
#define SKIP_ON_SERVER(why)                                                                                  \
    do {                                                                                                     \
        if (ClientFolder::onServer()) {                                                                      \
            QTest::qSkip("on the server: " why, __FILE__, __LINE__);                                         \
            return;                                                                                          \
        }                                                                                                    \
    } while (false)
