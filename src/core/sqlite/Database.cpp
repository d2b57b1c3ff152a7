#include "Database.h"

#include "core/errors/Error.h"

#include <QFile>

void Database::open(const QString& fileName)
{
    close();
    m_fileName = fileName;
    // Never create the file here: a missing database is the caller's error.
    m_db = std::make_unique<SQLite::Database>(QFile::encodeName(fileName).toStdString(),
                                              SQLite::OPEN_READWRITE, kBusyTimeoutMs);
}

void Database::close()
{
    m_db.reset();
}

SQLite::Database& Database::connection()
{
    if (!m_db)
        throw Error(QStringLiteral("Connection is closed"));
    return *m_db;
}
