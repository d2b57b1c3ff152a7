#include "DatabaseCopy.h"

#include "core/errors/Error.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QFile>

namespace {

QString quoted(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

bool internal(const QString& name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

} // namespace

DatabaseCopy::DatabaseCopy(SQLite::Database& target, const QString& sourceFileName,
                           const QStringList& replacedTables)
    : m_target(target), m_sourceFileName(sourceFileName), m_replacedTables(replacedTables)
{
    failingOn(QString(), [&] {
        // Attaching reads the source through SQLite, which rolls back a hot
        // journal left by a crash before anything is copied.
        SQLite::Statement attach(m_target, "ATTACH DATABASE ? AS source");
        attach.bind(1, QFile::encodeName(sourceFileName).toStdString());
        attach.exec();
        m_attached = true;

        SQLite::Statement objects(
            m_target, "SELECT type, name, tbl_name, sql FROM source.sqlite_master ORDER BY rowid");
        while (objects.executeStep()) {
            m_objects.append(Object{QString::fromUtf8(objects.getColumn(0).getText()),
                                    QString::fromUtf8(objects.getColumn(1).getText()),
                                    QString::fromUtf8(objects.getColumn(2).getText()),
                                    QString::fromUtf8(objects.getColumn(3).getText())});
        }
    });
}

template <typename Body> void DatabaseCopy::failingOn(const QString& object, Body&& body)
{
    try {
        body();
    } catch (const SQLite::Exception& error) {
        // Says what of the clerk's file stopped the work: the file can hold
        // objects of other programs.
        const QString where =
            object.isEmpty() ? m_sourceFileName : QStringLiteral("%1, «%2»").arg(m_sourceFileName, object);
        throw Error(QStringLiteral("%1: %2").arg(where, QString::fromUtf8(error.what())));
    }
}

DatabaseCopy::~DatabaseCopy()
{
    try {
        detach();
    } catch (...) {
        // The connection goes away with its owner anyway.
    }
}

void DatabaseCopy::detach()
{
    if (m_attached) {
        m_attached = false;
        m_target.exec("DETACH DATABASE source");
    }
}

bool DatabaseCopy::replaced(const QString& table) const
{
    return m_replacedTables.contains(table, Qt::CaseInsensitive);
}

bool DatabaseCopy::sourceHasTable(const QString& name) const
{
    for (const Object& object : m_objects)
        if (object.type == QLatin1String("table") && object.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void DatabaseCopy::copyRows(const QString& table)
{
    QStringList columns;
    SQLite::Statement info(m_target,
                           QStringLiteral("PRAGMA source.table_info(%1)").arg(quoted(table)).toStdString());
    while (info.executeStep())
        columns << quoted(QString::fromUtf8(info.getColumn(1).getText()));
    // Rows keep their rowids: the settings record, for one, is the row with
    // the lowest rowid and is written back by it.
    bool hasRowId = true;
    try {
        SQLite::Statement probe(
            m_target, QStringLiteral("SELECT rowid FROM source.%1").arg(quoted(table)).toStdString());
    } catch (const SQLite::Exception&) {
        hasRowId = false; // a WITHOUT ROWID table
    }
    const QString list =
        (hasRowId ? QStringLiteral("rowid, ") : QString()) + columns.join(QLatin1String(", "));
    m_target.exec(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM source.%1")
                      .arg(quoted(table), list)
                      .toStdString());
}

void DatabaseCopy::copyTables()
{
    bool hasSequence = false;
    for (const Object& object : m_objects) {
        if (object.type != QLatin1String("table") || replaced(object.name))
            continue;
        if (internal(object.name)) {
            hasSequence |= object.name.compare(QLatin1String("sqlite_sequence"), Qt::CaseInsensitive) == 0;
            continue;
        }
        failingOn(object.name, [&] {
            // A virtual table keeps its rows in shadow tables, which creating
            // it makes anew (they come after it): those get the old rows.
            if (object.sql.startsWith(QLatin1String("CREATE VIRTUAL TABLE"), Qt::CaseInsensitive)) {
                m_target.exec(object.sql.toStdString());
                return;
            }
            if (m_target.tableExists(object.name.toStdString()))
                m_target.exec(QStringLiteral("DELETE FROM main.%1").arg(quoted(object.name)).toStdString());
            else
                m_target.exec(object.sql.toStdString());
            copyRows(object.name);
        });
    }
    if (hasSequence) {
        // Created by SQLite with the first AUTOINCREMENT table; keeps its counters.
        m_target.exec("DELETE FROM main.sqlite_sequence");
        m_target.exec("INSERT INTO main.sqlite_sequence SELECT * FROM source.sqlite_sequence");
    }
    for (const char* pragma : {"user_version", "application_id"}) {
        const int value = m_target.execAndGet(std::string("PRAGMA source.") + pragma).getInt();
        m_target.exec(std::string("PRAGMA main.") + pragma + " = " + std::to_string(value));
    }
}

void DatabaseCopy::copyOtherObjects()
{
    for (const Object& object : m_objects) {
        if (object.type == QLatin1String("table") || object.sql.isEmpty() || internal(object.name))
            continue;
        // Indexes and triggers of a replaced table went with it.
        if (object.type != QLatin1String("view") && replaced(object.table))
            continue;
        failingOn(object.name, [&] { m_target.exec(object.sql.toStdString()); });
    }
}
