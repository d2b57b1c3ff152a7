#pragma once

#include "admin/AdminProgram.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// Runs a tardesk-admin command in-process and keeps what it printed.
struct AdminRun
{
    int status;
    QString out;
    QString err;

    static AdminRun of(const QStringList& arguments)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const int status = AdminProgram::run(arguments, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {status, out, err};
    }
};
