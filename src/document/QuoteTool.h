#pragma once

#include <QStringList>
#include <QTextStream>

// "tardesk-admin quote FOLDER NUMBER FILE.pdf": the quote the client would
// print for the first cross number that the search finds, with the columns
// that FOLDER/Tardesk.ini shows. Needs a Qt Gui application, no display.
class QuoteTool
{
public:
    // arguments exclude "quote"; returns the exit status.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
