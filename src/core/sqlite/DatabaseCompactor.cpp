#include "DatabaseCompactor.h"

#include "core/errors/Error.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/DatabaseReplacement.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
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
            throw Error(QCoreApplication::translate("DatabaseCompactor", "Не удалось удалить %1: %2")
                            .arg(path, qt_error_string(errno)));
    }
}

void DatabaseCompactor::CompactClientDatabase(const QString& programDir, const QString& password,
                                              DatabaseLock& lock)
{
    if (!password.isEmpty())
        throw Error(QCoreApplication::translate(
            "DatabaseCompactor", "Сжатие базы данных с паролем невозможно: файл базы данных не шифруется."));
    const QString database = ClientFiles::databaseFileName(programDir);
    const QString temporary = temporaryFileName(programDir);
    if (!QFileInfo::exists(database))
        throw Error(
            QCoreApplication::translate("DatabaseCompactor", "Файл базы данных %1 не найден.").arg(database));
    DatabaseReplacement::checkWritable(database, temporary);

    DatabaseLock::ExclusiveScope exclusive(lock);
    DatabaseReplacement live(database);
    removeTemporaryFiles(programDir);
    try {
        {
            SQLite::Database source(encoded(database).toStdString(), SQLite::OPEN_READONLY);
            try {
                SQLite::Statement vacuum(source, "VACUUM INTO ?");
                vacuum.bind(1, encoded(temporary).toStdString());
                vacuum.exec();
            } catch (const SQLite::Exception& error) {
                throw Error(DatabaseReplacement::failure(temporary, QString::fromUtf8(error.what())));
            }
        }
        live.replaceWith(temporary);
    } catch (...) {
        // Best effort: the next run deletes whatever stays behind.
        for (const QString& path : temporaryFiles(temporary))
            ::unlink(encoded(path).constData());
        throw;
    }
    removeTemporaryFiles(programDir);
}
