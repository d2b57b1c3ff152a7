#include "DatabaseCompactor.h"

#include "core/db/ClientFiles.h"
#include "core/db/DatabaseLock.h"
#include "core/text/Error.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

Error systemError(const QString& what, const QString& path, int error)
{
    return Error(QStringLiteral("%1 %2: %3").arg(what, path, qt_error_string(error)));
}

void syncPath(const QString& path, int flags)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0)
        throw systemError(QStringLiteral("Не удалось открыть"), path, errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0)
        throw systemError(QStringLiteral("Не удалось записать на диск"), path, error);
}

QStringList temporaryFiles(const QString& temporary)
{
    return {temporary, temporary + QStringLiteral("-journal"), temporary + QStringLiteral("-wal"),
            temporary + QStringLiteral("-shm")};
}

} // namespace

QString DatabaseCompactor::temporaryFileName(const QString& programDir)
{
    return QFileInfo(ClientFiles::databaseFileName(programDir)).dir().filePath(QStringLiteral("~temp.mdb"));
}

void DatabaseCompactor::removeTemporaryFiles(const QString& programDir)
{
    for (const QString& path : temporaryFiles(temporaryFileName(programDir))) {
        if (::unlink(encoded(path).constData()) != 0 && errno != ENOENT)
            throw systemError(QStringLiteral("Не удалось удалить"), path, errno);
    }
}

void DatabaseCompactor::replaceDatabase(const QString& programDir)
{
    const QString temporary = temporaryFileName(programDir);
    const QString database = ClientFiles::databaseFileName(programDir);
    syncPath(temporary, 0);
    struct stat old;
    if (::stat(encoded(database).constData(), &old) == 0)
        ::chmod(encoded(temporary).constData(), old.st_mode & 07777);
    if (::rename(encoded(temporary).constData(), encoded(database).constData()) != 0)
        throw systemError(QStringLiteral("Не удалось заменить"), database, errno);
    syncPath(QFileInfo(database).absolutePath(), O_DIRECTORY);
}

void DatabaseCompactor::CompactClientDatabase(const QString& programDir, const QString& password,
                                              DatabaseLock& lock)
{
    if (!password.isEmpty())
        throw Error(
            QStringLiteral("Сжатие базы данных с паролем невозможно: файл базы данных не шифруется."));
    const QString database = ClientFiles::databaseFileName(programDir);
    if (!QFileInfo::exists(database))
        throw Error(QStringLiteral("Файл базы данных %1 не найден.").arg(database));

    DatabaseLock::ExclusiveScope exclusive(lock);
    removeTemporaryFiles(programDir);
    try {
        {
            // Read-write, so that a journal left by a killed writer is rolled
            // back before the copy is made.
            SQLite::Database source(encoded(database).toStdString(), SQLite::OPEN_READWRITE);
            SQLite::Statement vacuum(source, "VACUUM INTO ?");
            vacuum.bind(1, encoded(temporaryFileName(programDir)).toStdString());
            vacuum.exec();
        }
        replaceDatabase(programDir);
    } catch (...) {
        // Best effort: the next run deletes whatever stays behind.
        for (const QString& path : temporaryFiles(temporaryFileName(programDir)))
            ::unlink(encoded(path).constData());
        throw;
    }
}
