#pragma once

#include "core/errors/Error.h"

#include <QString>

#include <SQLiteCpp/Database.h>

#include <memory>

// The connection to Tardesk.mdb. Normal SQLite locking with a busy timeout,
// so other programs may open the same file; no transaction is held open.
class Database
{
public:
    // Always for writing, also for tools that only read: SQLite must be able
    // to roll back a journal left by a killed writer, without which the file
    // cannot be read at all. A file this process may not write SQLite opens
    // read-only by itself.
    void open(const QString& fileName);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    const QString& fileName() const { return m_fileName; }
    // The open connection; throws when closed.
    SQLite::Database& connection();

    // A failed write as the clerk reads it: a folder or file this user may
    // not write is named, with what was not done, instead of the engine's
    // words for it; any other failure keeps the engine's message.
    Error writeFailure(const std::exception& error, const QString& notDone) const;

    // How long a statement waits for another program's lock.
    static constexpr int kBusyTimeoutMs = 5000;
    // How much of the file reads may map: more than a list of millions of parts.
    static constexpr qint64 kMappedBytes = qint64(1) << 30;

private:
    QString m_fileName;
    std::unique_ptr<SQLite::Database> m_db;
};
