#pragma once

#include <QString>
#include <QStringList>

namespace SQLite {
class Database;
}

// Carries everything of an existing database file into a new one, except
// the tables that are about to be replaced (and the indexes and triggers
// that belong to them). Tables come first, with their rows; indexes, views
// and triggers come last, once the replacement tables exist, so that
// triggers do not fire while rows are copied and views find their tables.
// Virtual tables come with the rows of their shadow tables. Construct it
// outside a transaction: SQLite attaches files only there. Engine errors
// name the source file and the object that failed.
class DatabaseCopy
{
public:
    DatabaseCopy(SQLite::Database& target, const QString& sourceFileName, const QStringList& replacedTables);
    ~DatabaseCopy();

    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;

    // Creates the kept tables from their own SQL text in their original
    // order, copies their rows, user_version and application_id.
    void copyTables();
    // Creates the kept indexes, views and triggers.
    void copyOtherObjects();
    // Lets go of the source; SQLite allows that only outside a transaction.
    void detach();

    // Whether the source holds a table of that name (compared ignoring case).
    bool sourceHasTable(const QString& name) const;

private:
    struct Object
    {
        QString type;
        QString name;
        QString table;
        QString sql;
    };

    bool replaced(const QString& table) const;
    void copyRows(const QString& table);
    // Runs body, naming the source file and object in an engine error.
    template <typename Body> void failingOn(const QString& object, Body&& body);

    SQLite::Database& m_target;
    QString m_sourceFileName;
    QStringList m_replacedTables;
    QList<Object> m_objects;
    bool m_attached = false;
};
