#include "OpenRegularFile.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QCoreApplication::translate("OpenRegularFile", "это папка, а не файл");
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("OpenRegularFile", "это именованный канал, а не обычный файл");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("OpenRegularFile", "это устройство, а не обычный файл");
    return QCoreApplication::translate("OpenRegularFile", "это не обычный файл");
}

} // namespace

QString openRegularFile(QFile& file)
{
    // Non-blocking, so a pipe opens at once and can be told apart.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return qt_error_string(error);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return kindOf(status.st_mode);
    }
    // O_NONBLOCK means nothing for a regular file's reads.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return QString();
}

void openRegularFile(QFile& file, const QString& name)
{
    const QString why = openRegularFile(file);
    if (why.isEmpty())
        return;
    const QFileInfo info(file.fileName());
    // exists() follows links: a link to nowhere is missing too.
    if (!info.exists())
        throw Error(QCoreApplication::translate("OpenRegularFile", "Файл %1 не найден в папке %2")
                        .arg(name, QDir::toNativeSeparators(info.absolutePath())));
    throw Error(
        QCoreApplication::translate("OpenRegularFile", "Файл %1 не удаётся открыть: %2").arg(name, why));
}
