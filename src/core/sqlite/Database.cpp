#include "Database.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

void Database::open(const QString& fileName)
{
    close();
    m_fileName = fileName;
    // Never create the file here: a missing database is the caller's error.
    m_db = std::make_unique<SQLite::Database>(QFile::encodeName(fileName).toStdString(),
                                              SQLite::OPEN_READWRITE, kBusyTimeoutMs);
    // Reads go through a map of the file: a name search reads a thousand
    // parts scattered over the whole list, and copying each page into the
    // connection's cache costs more than the reading.
    m_db->exec("PRAGMA mmap_size=" + std::to_string(kMappedBytes));
}

void Database::close()
{
    m_db.reset();
}

Error Database::writeFailure(const std::exception& error, const QString& notDone) const
{
    const auto* engine = dynamic_cast<const SQLite::Exception*>(&error);
    const int code = engine ? engine->getErrorCode() : SQLITE_OK;
    if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_PERM) {
        const QFileInfo file(m_fileName);
        if (!QFileInfo(file.absolutePath()).isWritable())
            return Error(
                QCoreApplication::translate("Database", "%1. Папка программы недоступна для записи: %2")
                    .arg(notDone, QDir::toNativeSeparators(file.absolutePath())));
        if (!file.isWritable())
            return Error(QCoreApplication::translate("Database", "%1. Файл недоступен для записи: %2")
                             .arg(notDone, QDir::toNativeSeparators(file.absoluteFilePath())));
    }
    return Error(Error::messageOf(error));
}

SQLite::Database& Database::connection()
{
    if (!m_db)
        throw Error(QStringLiteral("Connection is closed"));
    return *m_db;
}
