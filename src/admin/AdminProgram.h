#pragma once

#include <QStringList>
#include <QTextStream>

// tardesk-admin: the command line, then the verb it names.
class AdminProgram
{
public:
    // Whether the verb named by the command line draws; known before any
    // application object exists. arguments exclude the program name.
    static bool needsGui(const QStringList& arguments);
    // arguments exclude the program name; returns the exit status.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
