#include "DatabaseLock.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

DatabaseLock::DatabaseLock(const QString& programDir) : m_fileName(lockFileName(programDir))
{}

DatabaseLock::~DatabaseLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString DatabaseLock::lockFileName(const QString& programDir)
{
    return (programDir.endsWith(QLatin1Char('/')) ? programDir : programDir + QLatin1Char('/')) +
           QStringLiteral("Tardesk.lck");
}

QString DatabaseLock::refusalMessage()
{
    return QCoreApplication::translate("DatabaseLock", "База данных открыта другой копией программы. "
                                                       "Закройте её и повторите операцию.");
}

bool DatabaseLock::openFile()
{
    if (m_fd >= 0)
        return true;
    // Created when missing and never deleted: deleting it would let two
    // processes lock two different files of the same name. Non-blocking, so
    // a named pipe in its place is refused instead of waited on for good.
    m_fd =
        ::open(QFile::encodeName(m_fileName).constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (m_fd < 0)
        return false;
    struct stat status = {};
    if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        throw Error(QCoreApplication::translate("DatabaseLock",
                                                "Не удалось открыть файл блокировки %1: это не обычный файл")
                        .arg(m_fileName));
    }
    return true;
}

void DatabaseLock::throwFileError(int error) const
{
    throw Error(QCoreApplication::translate("DatabaseLock", "Не удалось заблокировать файл %1: %2")
                    .arg(m_fileName, qt_error_string(error)));
}

bool DatabaseLock::apply(int operation)
{
    int result;
    do {
        result = ::flock(m_fd, operation);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool DatabaseLock::lockShared(const std::function<void()>& whileWaiting)
{
    if (m_mode == Mode::Shared)
        return true;
    if (!openFile())
        return false;
    // Polled rather than waited for, so that the caller can say why it waits.
    while (!apply(LOCK_SH | LOCK_NB)) {
        if (errno != EWOULDBLOCK) {
            m_mode = Mode::None;
            throwFileError(errno);
        }
        if (whileWaiting)
            whileWaiting();
        ::usleep(kWaitStepMs * 1000);
    }
    m_mode = Mode::Shared;
    return true;
}

void DatabaseLock::lockExclusive()
{
    if (m_mode == Mode::Exclusive)
        return;
    if (!openFile())
        throw Error(QCoreApplication::translate("DatabaseLock", "Не удалось открыть файл блокировки %1: %2")
                        .arg(m_fileName, qt_error_string(errno)));
    if (apply(LOCK_EX | LOCK_NB)) {
        m_mode = Mode::Exclusive;
        return;
    }
    const int error = errno;
    if (m_mode == Mode::Shared) {
        m_mode = Mode::None;
        lockShared();
    }
    if (error == EWOULDBLOCK)
        throw Error(refusalMessage());
    throwFileError(error);
}

void DatabaseLock::unlock()
{
    if (m_mode == Mode::None)
        return;
    apply(LOCK_UN);
    m_mode = Mode::None;
}

DatabaseLock::ExclusiveScope::ExclusiveScope(DatabaseLock& lock) : m_lock(lock), m_previous(lock.mode())
{
    m_lock.lockExclusive();
}

DatabaseLock::ExclusiveScope::~ExclusiveScope()
{
    if (m_previous == Mode::Exclusive)
        return;
    if (m_previous == Mode::None) {
        m_lock.unlock();
        return;
    }
    // Going back to shared waits only if another process slipped in between
    // the two steps of flock()'s conversion; the mode tells the truth either way.
    m_lock.m_mode = m_lock.apply(LOCK_SH) ? Mode::Shared : Mode::None;
}
