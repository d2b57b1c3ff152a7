#include "core/session/AdminTool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return AdminTool::run(QCoreApplication::arguments().mid(1), out, err);
}
