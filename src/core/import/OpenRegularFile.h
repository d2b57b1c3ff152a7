#pragma once

#include <QFile>
#include <QString>

// Opens file for reading only when it is a regular file, or a link to one:
// a named pipe would block the open (and the update holding its lock) for
// good, and a folder or a device such as /dev/zero is no supplier's file.
// name is how messages call the file. Throws Error.
void openRegularFile(QFile& file, const QString& name);
