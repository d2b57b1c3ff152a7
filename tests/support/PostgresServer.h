#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
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

    // Before start(): the server also listens on a TCP port of the loopback
    // for TLS, with a self-signed certificate for "localhost" made here.
    void enableTls() { m_tls = true; }
    // The port of enableTls(); the certificate, for sslrootcert.
    int tlsPort() const { return m_tlsPort; }
    QString certificate() const { return m_dir.filePath("server.crt"); }

    // False, with error() saying why, when PostgreSQL is missing or will not start.
    bool start()
    {
        if (m_running)
            return true;
        if (!prepareFolder())
            return false;
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
        return launch();
    }

    // Starts a streaming standby of primary, copied by pg_basebackup -R, on
    // a socket folder of its own; it follows the primary until stopped.
    bool startStandbyOf(const PostgresServer& primary)
    {
        if (m_running)
            return true;
        if (!prepareFolder())
            return false;
        if (!run("pg_basebackup",
                 {QStringLiteral("-h"), primary.socketDir(), QStringLiteral("-p"),
                  QString::number(primary.port()), QStringLiteral("-U"), QLatin1String(kUser),
                  QStringLiteral("-D"), dataDir(), QStringLiteral("-R"), QStringLiteral("--checkpoint=fast"),
                  QStringLiteral("--no-sync")}))
            return false;
        // A query standing in the way of what the standby replays is
        // cancelled at once, so that tests meet the conflict without waiting.
        return launch(QStringLiteral(" -c wal_receiver_status_interval=1 -c max_standby_streaming_delay=0"));
    }

    const QString& error() const { return m_error; }
    QString socketDir() const { return m_dir.path(); }
    // The TCP port with TLS, which names the socket too; else kPort.
    int port() const { return m_tls ? m_tlsPort : kPort; }

    // The connection string of database on the server, as the superuser.
    QString connectionString(const QString& database) const
    {
        return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
            .arg(socketDir())
            .arg(port())
            .arg(database, QLatin1String(kUser));
    }

    // A new empty UTF8 database; empty, with error() saying why, when it failed.
    QString createDatabase()
    {
        const QString name = QStringLiteral("t%1").arg(++m_databases);
        if (!m_running ||
            !run("createdb",
                 {QStringLiteral("-h"), socketDir(), QStringLiteral("-p"), QString::number(port()),
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
    bool prepareFolder()
    {
        if (!QFile::exists(program("initdb")))
            return fail(
                QStringLiteral("PostgreSQL 15 is not installed (%1 missing): apt-get install postgresql")
                    .arg(program("initdb")));
        if (!m_dir.isValid())
            return fail(m_dir.errorString());
        if (m_tls && !makeCertificate())
            return false;
        // PostgreSQL refuses to run as root: the folder goes to its own user.
        if (::geteuid() == 0) {
            const passwd* user = ::getpwnam("postgres");
            if (!user)
                return fail(QStringLiteral("no user postgres to run the server as"));
            for (const QString& path :
                 {m_dir.path(), m_dir.filePath("server.crt"), m_dir.filePath("server.key")})
                if (QFile::exists(path) &&
                    ::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) != 0)
                    return fail(QStringLiteral("cannot give %1 to postgres").arg(path));
        }
        return true;
    }

    // A self-signed certificate and its key, readable by the server alone.
    bool makeCertificate()
    {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-x509"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-nodes"),
                       QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=localhost"), QStringLiteral("-keyout"),
                       m_dir.filePath("server.key"), QStringLiteral("-out"), m_dir.filePath("server.crt")});
        if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
            openssl.exitCode() != 0)
            return fail(QStringLiteral("openssl failed: %1%2")
                            .arg(openssl.errorString(), QString::fromLocal8Bit(openssl.readAll())));
        QFile::setPermissions(m_dir.filePath("server.key"), QFile::ReadOwner | QFile::WriteOwner);
        m_tlsPort = freePort();
        return m_tlsPort > 0 || fail(QStringLiteral("no free TCP port for TLS"));
    }

    // A port of the loopback nobody listens on now.
    static int freePort()
    {
        const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        int port = 0;
        if (socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        if (socket >= 0)
            ::close(socket);
        return port;
    }

    bool launch(const QString& extraOptions = QString())
    {
        // Durability is not under test here; speed is. The server's messages
        // in English, as the tests expect them.
        QString options = QStringLiteral("-k '%1' -p %2 -c fsync=off "
                                         "-c synchronous_commit=off -c full_page_writes=off -c lc_messages=C")
                              .arg(m_dir.path())
                              .arg(port()) +
                          extraOptions;
        // TLS needs TCP: the Unix socket never encrypts.
        if (m_tls)
            options += QStringLiteral(" -c listen_addresses=127.0.0.1 -c ssl=on -c ssl_cert_file='%1' "
                                      "-c ssl_key_file='%2'")
                           .arg(m_dir.filePath("server.crt"), m_dir.filePath("server.key"));
        else
            options += QStringLiteral(" -c listen_addresses=''");
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
    bool m_tls = false;
    int m_tlsPort = 0;
    int m_databases = 0;
    QString m_error;
};
