#pragma once

#include <QStringList>
#include <QTextStream>

// The maintenance commands of tardesk-admin; none needs a display.
class AdminTool
{
public:
    // arguments exclude the program name; returns the exit status.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
