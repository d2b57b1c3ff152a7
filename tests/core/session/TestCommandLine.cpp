#include "core/session/CommandLine.h"
#include "support/AdminRun.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

// What both programs make of their command line, before any window exists.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<bool>("admin");
    QTest::addColumn<QStringList>("arguments");
    // -1: the program goes on.
    QTest::addColumn<int>("status");
    // Patterns the standard output and error must match whole.
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QString>("folder");

    const QString clientUsage = "Использование: tardesk \\[--folder ПАПКА\\]\n(.*\n)+";
    const QString adminUsage = "Использование: tardesk-admin КОМАНДА ПАПКА \\[НОМЕР\\]\n(.*\n)+";
    const QString cwd = QDir::currentPath();

    QTest::newRow("client without options") << false << QStringList() << -1 << ""
                                            << ""
                                            << "";
    QTest::newRow("client help") << false << QStringList{"--help"} << 0 << clientUsage << ""
                                 << "";
    QTest::newRow("client short help") << false << QStringList{"-h"} << 0 << clientUsage << ""
                                       << "";
    QTest::newRow("client version") << false << QStringList{"--version"} << 0
                                    << "tardesk \\d+\\.\\d+\\.\\d+\n"
                                    << ""
                                    << "";
    QTest::newRow("folder made absolute") << false << QStringList{"--folder", "shop/data"} << -1 << ""
                                          << "" << cwd + "/shop/data";
    QTest::newRow("folder with equals sign") << false << QStringList{"--folder=/srv/shop"} << -1 << ""
                                             << ""
                                             << "/srv/shop";
    QTest::newRow("unknown option") << false << QStringList{"--bogus"} << 2 << ""
                                    << "tardesk: неизвестный параметр --bogus\n" + clientUsage << "";
    QTest::newRow("unknown short option") << false << QStringList{"-x"} << 2 << ""
                                          << "tardesk: неизвестный параметр -x\n" + clientUsage << "";
    QTest::newRow("wrong option wins over help") << false << QStringList{"--help", "--bogus"} << 2 << ""
                                                 << "tardesk: .+\n" + clientUsage << "";
    QTest::newRow("folder without value") << false << QStringList{"--folder"} << 2 << ""
                                          << "tardesk: .+\n" + clientUsage << "";
    QTest::newRow("folder empty") << false << QStringList{"--folder="} << 2 << ""
                                  << "tardesk: .+\n" + clientUsage << "";
    QTest::newRow("value to a plain option") << false << QStringList{"--version=2"} << 2 << ""
                                             << "tardesk: .+\n" + clientUsage << "";
    QTest::newRow("client argument") << false << QStringList{"Tardesk.mdb"} << 2 << ""
                                     << "tardesk: лишний аргумент Tardesk.mdb\n" + clientUsage << "";

    // --lang anywhere; the usage and the faults speak it.
    QTest::newRow("client help in english") << false << QStringList{"--lang", "en", "--help"} << 0
                                            << "Usage: tardesk \\[--folder FOLDER\\]\n(.*\n)+"
                                            << ""
                                            << "";
    QTest::newRow("client fault in ukrainian")
        << false << QStringList{"--lang=uk", "--bogus"} << 2 << ""
        << "tardesk: невідомий параметр --bogus\nВикористання: tardesk \\[--folder ТЕКА\\]\n(.*\n)+"
        << "";
    QTest::newRow("language missing")
        << false << QStringList{"--lang"} << 2 << ""
        << "tardesk: после --lang нужен язык: ru, uk или en\n" + clientUsage << "";
    QTest::newRow("language unknown")
        << false << QStringList{"--lang", "de"} << 2 << ""
        << "tardesk: после --lang нужен язык: ru, uk или en\n" + clientUsage << "";
    QTest::newRow("admin language after the command")
        << true << QStringList{"search", "--lang", "en"} << 2 << ""
        << "Usage: tardesk-admin COMMAND FOLDER \\[NUMBER\\]\n(.*\n)+"
        << "";
    QTest::newRow("admin help") << true << QStringList{"--help"} << 0 << adminUsage << ""
                                << "";
    QTest::newRow("admin version") << true << QStringList{"--version"} << 0
                                   << "tardesk-admin \\d+\\.\\d+\\.\\d+\n"
                                   << ""
                                   << "";
    QTest::newRow("admin unknown option")
        << true << QStringList{"--folder", "x", "init"} << 2 << ""
        << "tardesk-admin: неизвестный параметр --folder\n" + adminUsage << "";
    QTest::newRow("admin without command") << true << QStringList() << 2 << "" << adminUsage << "";
    QTest::newRow("admin unknown command")
        << true << QStringList{"vacuum", "x"} << 2 << "" << adminUsage << "";
    // After the command every argument is the command's: here a folder named like an option.
    QTest::newRow("admin option after command")
        << true << QStringList{"search", "--help"} << 2 << "" << adminUsage << "";
}

void TestCommandLine::parse()
{
    QFETCH(bool, admin);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, folder);

    AdminRun result{-1, {}, {}};
    if (admin) {
        result = AdminRun::of(arguments);
    } else {
        QTextStream outStream(&result.out), errStream(&result.err);
        CommandLine commandLine(CommandLine::Program::Client);
        if (!commandLine.parse(QStringList{"tardesk"} + arguments, outStream, errStream))
            result.status = commandLine.exitCode();
        QCOMPARE(commandLine.folder(), folder);
    }
    QCOMPARE(result.status, status);
    const auto matchesWhole = [](const QString& text, const QString& pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
    };
    QVERIFY2(matchesWhole(result.out, out), qPrintable(result.out));
    QVERIFY2(matchesWhole(result.err, err), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
