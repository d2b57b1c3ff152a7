#pragma once

#include <QString>

#include <functional>

// The clients' agreement about who may replace Tardesk.mdb: flock() on the
// persistent file Tardesk.lck beside it. A running client holds it shared;
// compaction and the update hold it exclusively while they swap the file.
// Kernel locks vanish with their process, so a killed update blocks nothing.
// The database file itself is never locked: SQLite's own locks stay as they
// are, and keep the reads of a client without this lock whole.
class DatabaseLock
{
public:
    enum class Mode
    {
        None,
        Shared,
        Exclusive
    };

    explicit DatabaseLock(const QString& programDir);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    static QString lockFileName(const QString& programDir);
    static QString refusalMessage();

    // Waits while another process holds the lock exclusively, calling
    // whileWaiting every kWaitStepMs meanwhile. False, holding nothing, when
    // the lock file can be neither opened nor made (a folder this user may
    // not write): such a client only reads.
    bool lockShared(const std::function<void()>& whileWaiting = {});
    // Never waits: throws refusalMessage() when another client holds the lock.
    // flock() converts a lock by dropping it first, so a refused conversion
    // takes the shared lock again, waiting if another process won the race
    // and is replacing the file; take it with the connection closed.
    void lockExclusive();
    void unlock();
    Mode mode() const { return m_mode; }

    // Holds the lock exclusively for a scope and then returns to the mode
    // it had before.
    class ExclusiveScope
    {
    public:
        explicit ExclusiveScope(DatabaseLock& lock);
        ~ExclusiveScope();
        ExclusiveScope(const ExclusiveScope&) = delete;
        ExclusiveScope& operator=(const ExclusiveScope&) = delete;

    private:
        DatabaseLock& m_lock;
        Mode m_previous;
    };

    static constexpr int kWaitStepMs = 50;

private:
    // False with errno set when the file cannot be opened.
    bool openFile();
    [[noreturn]] void throwFileError(int error) const;
    // flock() that retries after a signal; false with errno set on failure.
    bool apply(int operation);

    QString m_fileName;
    int m_fd = -1;
    Mode m_mode = Mode::None;
};
