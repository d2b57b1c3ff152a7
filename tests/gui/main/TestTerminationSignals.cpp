#include "SampleGenerator.h"
#include "core/sqlite/DatabaseLock.h"
#include "gui/setup/TFormSetup.h"
#include "gui/shared/ActionManager.h"
#include "gui/update/TformWait.h"
#include "support/ClientFolder.h"
#include "support/FileDigest.h"
#include "support/Unprivileged.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// A log-off, a shutdown or kill ends the client the way "Выход" does: the
// configuration is saved, whatever dialog is open closes, and a running
// update is abandoned with the old list in place.
class TestTerminationSignals : public WindowTest
{
    Q_OBJECT

public:
    enum class Moment
    {
        Idle,
        SettingsDialog, // the application's own modal dialog
        MessageBox,     // a real message box: the update's question
        Update          // the price list update running
    };
    Q_ENUM(Moment)

private slots:
    void init();
    void cleanup();

    void runningClientEnds_data();
    void runningClientEnds();
    void windowClosesWhateverIsOpen_data();
    void windowClosesWhateverIsOpen();

private:
    QByteArray iniBytes() const;

    std::unique_ptr<ClientFolder> m_folder;
};

namespace {

// What the shutdown writes into an empty Tardesk.ini.
bool saved(const QByteArray& ini)
{
    return ini.startsWith("[PRICE]\r\n") && ini.contains("ShowParameters=0\r\n");
}

} // namespace

void TestTerminationSignals::init()
{
    m_folder = std::make_unique<ClientFolder>();
}

void TestTerminationSignals::cleanup()
{
    stopAnsweringMessageBoxes();
    m_folder.reset();
}

QByteArray TestTerminationSignals::iniBytes() const
{
    QFile file(m_folder->iniFileName());
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void TestTerminationSignals::runningClientEnds_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("writable"); // whether the clerk may write the program folder
    QTest::newRow("SIGTERM") << int(SIGTERM) << true;
    QTest::newRow("SIGINT") << int(SIGINT) << true;
    QTest::newRow("SIGHUP") << int(SIGHUP) << true;
    // Nobody is there to answer: the client ends anyway, and says why.
    QTest::newRow("SIGTERM, settings not writable") << int(SIGTERM) << false;
}

void TestTerminationSignals::runningClientEnds()
{
    QFETCH(int, signal);
    QFETCH(bool, writable);
    // The client's files live beside the program file.
    Unprivileged child(QStringLiteral(TARDESK_CLIENT));
    const QString folder = child.folder();
    ShopStorage::create(folder);
    const QString lockFile = DatabaseLock::lockFileName(folder);
    QFile(lockFile).open(QIODevice::WriteOnly);
    if (writable) {
        for (const QString& name : QDir(folder).entryList(QDir::Files) + QStringList({QString()}))
            Unprivileged::giveToNobody(QDir(folder).filePath(name));
    }

    QProcess client;
    child.start(client, {});
    QVERIFY(client.waitForStarted());
    // Started once it holds its lock: the handlers come before it.
    const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    const auto locked = [fd] {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return true;
        ::flock(fd, LOCK_UN);
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(locked(), 20000);
    ::close(fd);
    ::kill(pid_t(client.processId()), signal);
    QVERIFY(client.waitForFinished(20000));

    QCOMPARE(client.exitStatus(), QProcess::NormalExit);
    QCOMPARE(client.exitCode(), writable ? 0 : 1);
    QFile ini(IniFile::clientFileName(folder));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(saved(ini.readAll()), writable);
    if (!writable) {
        const QString err = QString::fromUtf8(client.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("Tardesk.ini")), qPrintable(err));
    }
}

void TestTerminationSignals::windowClosesWhateverIsOpen_data()
{
    QTest::addColumn<Moment>("moment");
    QTest::newRow("idle") << Moment::Idle;
    QTest::newRow("settings dialog open") << Moment::SettingsDialog;
    QTest::newRow("message box open") << Moment::MessageBox;
    QTest::newRow("update running") << Moment::Update;
}

void TestTerminationSignals::windowClosesWhateverIsOpen()
{
    QFETCH(Moment, moment);
    if (moment == Moment::Update) {
        SampleGenerator(20000, 1).writeTextFiles(m_folder->path());
        // The update's question is answered; the other moments meet a real box.
        answerMessageBoxes();
        answerNext(MessageBoxes::Answer::Yes);
    }
    const QString database = m_folder->databaseFileName();
    const QByteArray before = fileDigest(database);
    TFormMain form(m_folder->path());
    QVERIFY(form.isInitialized());
    form.show();

    // The signal comes while the moment's dialog or update is under way.
    bool raised = false;
    QTimer trigger;
    connect(&trigger, &QTimer::timeout, this, [&] {
        const bool ready = moment == Moment::Update
                               ? form.findChild<TformWait*>() != nullptr
                               : moment == Moment::Idle || QApplication::activeModalWidget();
        if (ready && !raised) {
            raised = true;
            ::raise(SIGTERM);
        }
    });
    trigger.start(moment == Moment::Update ? 0 : 50);
    if (moment == Moment::SettingsDialog)
        form.actions().ActionSetup->trigger();
    else if (moment == Moment::MessageBox || moment == Moment::Update)
        form.actions().actionUpdatePrice->trigger();
    QTRY_VERIFY(raised);
    QTRY_VERIFY(!form.isVisible());

    QVERIFY(saved(iniBytes()));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!form.FormSetup->isVisible());
    QCOMPARE(fileDigest(database), before);
    QCOMPARE(QDir(m_folder->path()).entryList({QStringLiteral("~temp*"), QStringLiteral("Tardesk.mdb-*")}),
             QStringList());
}

QTEST_MAIN(TestTerminationSignals)
#include "TestTerminationSignals.moc"
