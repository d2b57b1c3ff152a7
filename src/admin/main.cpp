#include "admin/AdminProgram.h"
#include "core/session/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // Only a verb that draws gets Qt Gui, and never a display.
    const bool gui = AdminProgram::needsGui(CommandLine::fromArgv(argc, argv).mid(1));
    if (gui)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> application =
        gui ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return AdminProgram::run(QCoreApplication::arguments().mid(1), out, err);
}
