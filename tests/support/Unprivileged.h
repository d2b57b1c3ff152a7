#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// Runs a program as a user meets it. Tests run as root, whom permissions
// stop in nothing: the child runs as "nobody" (setpriv, uid and gid 65534, no
// groups) from a copy in a world-readable temporary folder, since the build
// tree and QTemporaryDir are private to root. A file-size limit, with SIGXFSZ
// ignored, makes writes fail with EFBIG as on a full disk.
class Unprivileged
{
public:
    static constexpr uid_t kNobody = 65534;

    struct Result
    {
        int status = -1;
        QString out;
        QString err;
    };

    // Copies program into a new folder that everyone may read and enter.
    explicit Unprivileged(const QString& program)
    {
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadOther |
                                                QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        m_program = m_dir.filePath(QFileInfo(program).fileName());
        if (!QFile::copy(program, m_program))
            qFatal("cannot copy %s", qPrintable(program));
    }

    // Where the test makes the child's files; root's, everyone may enter it.
    QString folder() const { return m_dir.path(); }
    QString program() const { return m_program; }

    // Hands a file or folder made by the test over to the child's user.
    static void giveToNobody(const QString& path)
    {
        QVERIFY(::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0);
    }

    // Starts the copy as nobody.
    void start(QProcess& process, const QStringList& arguments) const
    {
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups"), m_program} +
                          arguments);
    }

    // Runs the copy as nobody to its end; fileSizeLimit < 0: none.
    Result run(const QStringList& arguments, qint64 fileSizeLimit = -1,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        if (fileSizeLimit >= 0) {
            process.setChildProcessModifier([fileSizeLimit] {
                const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN);
            });
        }
        start(process, arguments);
        Result result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.status = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
};
