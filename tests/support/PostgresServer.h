#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

// A PostgreSQL 15 server of the test executable's own: made by initdb in a
// temporary folder, reachable only through a Unix socket there, stopped when
// the object goes. One per executable, since initdb takes a second or two;
// each test takes a new database of it. A machine without PostgreSQL fails
// start(), so the suite cannot pass without the server tests.
class PostgresServer
{
public:
    static constexpr char kBinDir[] = "/usr/lib/postgresql/15/bin/";
    static constexpr int kPort = 5432;
    static constexpr char kUser[] = "tardesk";

    PostgresServer() = default;
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;
    ~PostgresServer() { stop(); }

    // False, with error() saying why, when PostgreSQL is missing or will not start.
    bool start()
    {
        if (m_running)
            return true;
        if (!QFile::exists(program("initdb")))
            return fail(
                QStringLiteral("PostgreSQL 15 is not installed (%1 missing): apt-get install postgresql")
                    .arg(program("initdb")));
        if (!m_dir.isValid())
            return fail(m_dir.errorString());
        // PostgreSQL refuses to run as root: the folder goes to its own user.
        if (::geteuid() == 0) {
            const passwd* user = ::getpwnam("postgres");
            if (!user)
                return fail(QStringLiteral("no user postgres to run the server as"));
            if (::chown(QFile::encodeName(m_dir.path()).constData(), user->pw_uid, user->pw_gid) != 0)
                return fail(QStringLiteral("cannot give %1 to postgres").arg(m_dir.path()));
        }
        // A collation other than code-point order, so that a query relying on
        // the database's default order fails here rather than at a shop.
        bool made = false;
        for (const char* locale : {"ru_RU.UTF-8", "C.UTF-8"}) {
            made = run("initdb",
                       {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QLatin1String(kUser),
                        QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                        QStringLiteral("--locale=") + QLatin1String(locale), QStringLiteral("--no-sync")});
            if (made)
                break;
            QDir(dataDir()).removeRecursively();
        }
        if (!made)
            return false;
        // Durability is not under test here; speed is. The server's messages
        // in English, as the tests expect them.
        const QString options =
            QStringLiteral("-k '%1' -p %2 -c listen_addresses='' -c fsync=off "
                           "-c synchronous_commit=off -c full_page_writes=off -c lc_messages=C")
                .arg(m_dir.path())
                .arg(kPort);
        if (!run("pg_ctl", {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                            m_dir.filePath("server.log"), QStringLiteral("-o"), options, QStringLiteral("-w"),
                            QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")})) {
            QFile log(m_dir.filePath("server.log"));
            if (log.open(QIODevice::ReadOnly))
                m_error += QString::fromUtf8(log.readAll());
            return false;
        }
        m_running = true;
        watchOver();
        return true;
    }

    const QString& error() const { return m_error; }
    QString socketDir() const { return m_dir.path(); }

    // The connection string of database on the server, as the superuser.
    QString connectionString(const QString& database) const
    {
        return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
            .arg(socketDir())
            .arg(kPort)
            .arg(database, QLatin1String(kUser));
    }

    // A new empty UTF8 database; empty, with error() saying why, when it failed.
    QString createDatabase()
    {
        const QString name = QStringLiteral("t%1").arg(++m_databases);
        if (!m_running ||
            !run("createdb",
                 {QStringLiteral("-h"), socketDir(), QStringLiteral("-p"), QString::number(kPort),
                  QStringLiteral("-U"), QLatin1String(kUser), QStringLiteral("-E"), QStringLiteral("UTF8"),
                  QStringLiteral("-T"), QStringLiteral("template0"), name}))
            return QString();
        return connectionString(name);
    }

    void stop()
    {
        if (!m_running)
            return;
        m_running = false;
        run("pg_ctl", {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("immediate"),
                       QStringLiteral("-w"), QStringLiteral("stop")});
    }

private:
    static QString program(const char* name) { return QLatin1String(kBinDir) + QLatin1String(name); }
    QString dataDir() const { return m_dir.filePath("data"); }

    // Stops the server once this process is gone, so that a test that
    // crashes leaves no server behind, nor its folder; it ends with the server.
    void watchOver() const
    {
        const QString pidFile = dataDir() + QStringLiteral("/postmaster.pid");
        const QString script =
            QStringLiteral(
                "while [ -d /proc/%1 ] && [ -f '%2' ]; do sleep 1; done; "
                "if [ -f '%2' ]; then '%3' -D '%4' -m immediate stop >/dev/null 2>&1; rm -rf '%5'; fi")
                .arg(QString::number(::getpid()), pidFile, program("pg_ctl"), dataDir(), m_dir.path());
        const QStringList shell{QStringLiteral("sh"), QStringLiteral("-c"), script};
        if (::geteuid() == 0)
            QProcess::startDetached(
                QStringLiteral("runuser"),
                QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + shell,
                m_dir.path());
        else
            QProcess::startDetached(shell.front(), shell.mid(1), m_dir.path());
    }

    bool fail(const QString& error)
    {
        m_error = error;
        return false;
    }

    // Runs a PostgreSQL program as the server's user; false with its output in error().
    bool run(const char* name, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        // The server's user may not enter the test's own working folder.
        process.setWorkingDirectory(m_dir.path());
        if (::geteuid() == 0)
            process.start(QStringLiteral("runuser"),
                          QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                                      program(name)} +
                              arguments);
        else
            process.start(program(name), arguments);
        const bool ran = process.waitForFinished(120000);
        if (ran && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return true;
        return fail(
            QStringLiteral("%1 failed: %2%3")
                .arg(QLatin1String(name), process.errorString(), QString::fromLocal8Bit(process.readAll())));
    }

    QTemporaryDir m_dir;
    bool m_running = false;
    int m_databases = 0;
    QString m_error;
};
