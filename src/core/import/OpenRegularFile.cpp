#include "OpenRegularFile.h"

#include "core/text/Error.h"

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
        return QStringLiteral("это папка, а не файл");
    if (S_ISFIFO(mode))
        return QStringLiteral("это именованный канал, а не обычный файл");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("это устройство, а не обычный файл");
    return QStringLiteral("это не обычный файл");
}

} // namespace

void openRegularFile(QFile& file, const QString& name)
{
    const QString path = file.fileName();
    const auto cannotOpen = [&](const QString& why) {
        return Error(QStringLiteral("Файл %1 не удаётся открыть: %2").arg(name, why));
    };
    // Non-blocking, so a pipe opens at once and can be told apart.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw Error(QStringLiteral("Файл %1 не найден в папке %2")
                            .arg(name, QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
        throw cannotOpen(qt_error_string(error));
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw cannotOpen(qt_error_string(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        throw cannotOpen(kindOf(status.st_mode));
    }
    // O_NONBLOCK means nothing for a regular file's reads.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw cannotOpen(file.errorString());
    }
}
