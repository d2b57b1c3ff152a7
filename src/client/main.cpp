#include "core/session/CommandLine.h"
#include "core/session/InterfaceLanguage.h"
#include "core/session/ProgramFolder.h"
#include "core/session/ShopStorage.h"
#include "gui/main/TFormMain.h"
#include "gui/shared/MessageBoxes.h"
#include "gui/shared/QtTranslations.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Before the application object, which needs a display; this one only
    // carries the language of --help and the command line's faults.
    CommandLine commandLine(CommandLine::Program::Client);
    {
        QCoreApplication beforeDisplay(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (!commandLine.parse(CommandLine::fromArgv(argc, argv), out, err))
            return commandLine.exitCode();
    }
    ShopStorage::setServer(commandLine.server());

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tardesk"));
    QGuiApplication::setDesktopFileName(QStringLiteral("ua.velmora.Tardesk"));
    // Found where the package installs it; a copy run from a folder keeps Qt's default.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("ua.velmora.Tardesk")));
    InterfaceLanguage::install(InterfaceLanguage::choose(commandLine.language(), QString()));

    QString programDir;
    if (!MessageBoxes::guard(nullptr, [&] {
            programDir = ProgramFolder::choose(QApplication::applicationDirPath(), commandLine.folder());
        }))
        return 1;
    // The language chosen in the menu is the folder's, read before any window exists.
    const QString language =
        InterfaceLanguage::choose(commandLine.language(), InterfaceLanguage::savedInFolder(programDir));
    InterfaceLanguage::install(language);
    // The file and print dialogs speak the interface's language; without
    // the system's translations they stay in English.
    QtTranslations::install(language);
    TFormMain FormMain(programDir);
    if (!FormMain.isInitialized())
        return 1;
    FormMain.show();
    return application.exec();
}
