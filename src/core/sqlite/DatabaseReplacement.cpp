#include "DatabaseReplacement.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

void requireWritable(const QString& path, bool folder)
{
    // As the process's effective user, the one that will write.
    if (::faccessat(AT_FDCWD, encoded(path).constData(), W_OK, AT_EACCESS) == 0)
        return;
    const int error = errno;
    // What the system says about missing rights adds nothing to the message.
    const QString why = error == EACCES || error == EROFS || error == EPERM
                            ? QString()
                            : QStringLiteral(" (%1)").arg(qt_error_string(error));
    throw Error((folder ? QCoreApplication::translate(
                              "DatabaseReplacement",
                              "Папка программы недоступна для записи: %1%2. Ничего не изменено.")
                        : QCoreApplication::translate(
                              "DatabaseReplacement", "Файл недоступен для записи: %1%2. Ничего не изменено."))
                    .arg(QDir::toNativeSeparators(path), why));
}

// Finishes the copy on every way out: before the end, that rolls the
// database back to its old content.
struct Backup
{
    sqlite3_backup* handle;
    ~Backup() { sqlite3_backup_finish(handle); }
};

bool busy(int code)
{
    return (code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED;
}

} // namespace

QString DatabaseReplacement::failure(const QString& fileName, const QString& message)
{
    return QStringLiteral("%1: %2").arg(fileName, message);
}

void DatabaseReplacement::checkWritable(const QString& databaseFileName, const QString& newFileName)
{
    // SQLite writes through a link to its target and keeps the journal beside it.
    const QString target = QFileInfo(databaseFileName).canonicalFilePath();
    const QString database = target.isEmpty() ? databaseFileName : target;
    requireWritable(QFileInfo(newFileName).absolutePath(), true);
    requireWritable(QFileInfo(database).absolutePath(), true);
    requireWritable(database, false);
}

std::unique_ptr<SQLite::Database> DatabaseReplacement::openForWriting(const QString& fileName, int flags)
{
    std::unique_ptr<SQLite::Database> db;
    try {
        db = std::make_unique<SQLite::Database>(encoded(fileName).toStdString(),
                                                SQLite::OPEN_READWRITE | flags, Database::kBusyTimeoutMs);
    } catch (const SQLite::Exception& error) {
        throw Error(failure(fileName, QString::fromUtf8(error.what())));
    }
    // SQLite opens a file it may not write read-only without a word.
    if (sqlite3_db_readonly(db->getHandle(), "main") == 1)
        throw Error(QCoreApplication::translate("DatabaseReplacement",
                                                "Нет права записи в файл %1. Ничего не изменено.")
                        .arg(fileName));
    return db;
}

namespace {

Error busyWriting(const QString& fileName)
{
    return Error(QCoreApplication::translate("DatabaseReplacement",
                                             "Файл %1 занят: в него пишет другая программа. "
                                             "Закройте её и повторите операцию; ничего не изменено.")
                     .arg(fileName));
}

Error busyReading(const QString& fileName)
{
    return Error(QCoreApplication::translate("DatabaseReplacement",
                                             "Файл %1 занят: его читает другая программа. "
                                             "Закройте её и повторите операцию; ничего не изменено.")
                     .arg(fileName));
}

} // namespace

void DatabaseReplacement::beginExclusive(SQLite::Database& db, const QString& fileName)
{
    try {
        db.exec("BEGIN EXCLUSIVE");
    } catch (const SQLite::Exception& error) {
        if (!busy(error.getErrorCode()))
            throw Error(failure(fileName, QString::fromUtf8(error.what())));
        // Which of the two held on: a writer holds off a write lock as well.
        try {
            db.exec("BEGIN IMMEDIATE");
        } catch (const SQLite::Exception&) {
            throw busyWriting(fileName);
        }
        db.exec("ROLLBACK");
        throw busyReading(fileName);
    }
}

DatabaseReplacement::DatabaseReplacement(const QString& databaseFileName)
    : m_fileName(databaseFileName), m_db(openForWriting(databaseFileName))
{
    try {
        m_db->exec("BEGIN IMMEDIATE");
        m_encoding = QString::fromStdString(m_db->execAndGet("PRAGMA encoding").getString());
        if (m_db->execAndGet("PRAGMA journal_mode").getString() == "wal")
            m_pageSize = m_db->execAndGet("PRAGMA page_size").getInt();
    } catch (const SQLite::Exception& error) {
        if (busy(error.getErrorCode()))
            throw busyWriting(m_fileName);
        throw Error(failure(m_fileName, QString::fromUtf8(error.what())));
    }
}

DatabaseReplacement::~DatabaseReplacement() = default;

quint32 DatabaseReplacement::dataVersion() const
{
    // Changes whenever another connection has committed to the file since
    // this one last looked; the file's own counters stay put in WAL mode.
    unsigned int version = 0;
    sqlite3_file_control(m_db->getHandle(), "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}

void DatabaseReplacement::replaceWith(const QString& newFileName, const Progress& progress)
{
    SQLite::Database source(encoded(newFileName).toStdString(), SQLite::OPEN_READONLY);
    sqlite3* target = m_db->getHandle();
    const auto fail = [&](int code) {
        return Error(failure(m_fileName, QString::fromUtf8(sqlite3_errstr(code))));
    };
    // The copy takes the write lock itself and cannot start while this
    // connection holds it, so it is given up just before (by a rollback:
    // nothing was written, and a commit would wait for readers); a write that
    // slips in between shows in the data version and refuses the copy.
    m_db->exec("ROLLBACK");
    const quint32 version = dataVersion();
    Backup backup{sqlite3_backup_init(target, "main", source.getHandle(), "main")};
    if (!backup.handle)
        throw Error(failure(m_fileName, QString::fromUtf8(sqlite3_errmsg(target))));
    // No page yet: only the locks, waiting for readers in the old journal
    // mode to finish, as long as any other statement would.
    int code = sqlite3_backup_step(backup.handle, 0);
    if (busy(code))
        throw busyReading(m_fileName);
    if (code != SQLITE_OK && code != SQLITE_DONE)
        throw fail(code);
    if (dataVersion() != version)
        throw Error(QCoreApplication::translate("DatabaseReplacement",
                                                "Файл %1 изменён другой программой во время операции. "
                                                "Повторите операцию; ничего не изменено.")
                        .arg(m_fileName));

    // About a hundredth at a time, so that progress is shown and a stop is heard.
    const qint64 total = sqlite3_backup_pagecount(backup.handle);
    const int pages = int(std::max<qint64>(16, total / 100));
    while (code != SQLITE_DONE) {
        code = sqlite3_backup_step(backup.handle, pages);
        if (code != SQLITE_OK && code != SQLITE_DONE)
            throw fail(code);
        // Not after the last step, which has committed: past that point
        // nothing may abandon the copy.
        if (progress && code == SQLITE_OK)
            progress(total - sqlite3_backup_remaining(backup.handle), total);
    }
    code = sqlite3_backup_finish(backup.handle);
    backup.handle = nullptr;
    if (code != SQLITE_OK)
        throw fail(code);
}
