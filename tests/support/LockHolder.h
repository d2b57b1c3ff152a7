#pragma once

#include "core/sqlite/DatabaseLock.h"

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

// Another process's update or compaction: holds Tardesk.lck exclusively
// from construction (which returns once it does) for a while, then does its
// work on the database and lets go.
class LockHolder
{
public:
    LockHolder(const QString& programDir, int milliseconds, const std::function<bool()>& work)
    {
        const QByteArray path = QFile::encodeName(DatabaseLock::lockFileName(programDir));
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            const int fd = ::open(path.constData(), O_RDONLY | O_CREAT, 0666);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0 || ::write(ready[1], "x", 1) != 1)
                ::_exit(1);
            ::usleep(useconds_t(milliseconds) * 1000);
            ::_exit(work() ? 0 : 1);
        }
        ::close(ready[1]);
        char byte;
        if (m_child < 0 || ::read(ready[0], &byte, 1) != 1)
            m_child = -1;
        ::close(ready[0]);
    }

    // Waits for the other process; true when it held the lock and its work succeeded.
    bool succeeded()
    {
        int status = 0;
        return m_child > 0 && ::waitpid(m_child, &status, 0) == m_child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

private:
    pid_t m_child = -1;
};
