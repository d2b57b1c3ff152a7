#include "gui/main/TFormMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tardesk"));

    TFormMain FormMain(QApplication::applicationDirPath());
    if (!FormMain.isInitialized())
        return 1;
    FormMain.show();
    return application.exec();
}
