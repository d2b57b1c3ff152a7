#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace SQLite {
class Database;
}

// Puts a finished new database file in the place of Tardesk.mdb by SQLite's
// online backup rather than by a rename. The copy goes through SQLite's own
// locks and journal, so other connections, in any journal mode, see the old
// content or the new and never a mix; a kill at any moment leaves a journal
// that the next connection rolls back; the file keeps its inode, and with it
// its mode, its owner and the links that point to it. From construction to
// the copy, other writers are held off, so nothing they write is lost.
class DatabaseReplacement
{
public:
    // Refuses, changing nothing, unless this process may write the database
    // (behind a link, its target), the folder where SQLite keeps the
    // database's journal, and the folder of the new file.
    static void checkWritable(const QString& databaseFileName, const QString& newFileName);

    // Opens the database (rolling back a journal left by a killed writer) and
    // takes its write lock; refuses when the file cannot be written or
    // another program is writing to it.
    explicit DatabaseReplacement(const QString& databaseFileName);
    ~DatabaseReplacement();
    DatabaseReplacement(const DatabaseReplacement&) = delete;
    DatabaseReplacement& operator=(const DatabaseReplacement&) = delete;

    // What a new file must be made with before anything is written to it:
    // the database's text encoding, and its page size (0: any), which a file
    // in WAL mode cannot change.
    const QString& textEncoding() const { return m_encoding; }
    int requiredPageSize() const { return m_pageSize; }

    // Called with pages done and pages in all after each part of the copy
    // but the last; an exception from it abandons the copy and the old
    // content stays.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // Copies newFileName over the database in one transaction. Refuses,
    // changing nothing, when another program reads the database and does not
    // let go in time, or wrote to it since construction.
    void replaceWith(const QString& newFileName, const Progress& progress = {});

    // Opens the database read-write (rolling back a journal left by a killed
    // writer) with SQLite's open flags added to that; refuses when this
    // process may not write the file.
    static std::unique_ptr<SQLite::Database> openForWriting(const QString& fileName, int flags = 0);
    // Begins db's transaction with its write lock and, outside WAL mode, the
    // file to itself: other programs' writers and readers wait until it
    // ends. Refuses, naming fileName, when another program writes or reads
    // and does not let go in time.
    static void beginExclusive(SQLite::Database& db, const QString& fileName);

    // An engine failure on fileName, naming the file: several take part.
    static QString failure(const QString& fileName, const QString& message);

private:
    quint32 dataVersion() const;

    QString m_fileName;
    std::unique_ptr<SQLite::Database> m_db;
    QString m_encoding;
    int m_pageSize = 0;
};
