#pragma once

#include <QFile>
#include <QString>

// Opens file for reading only when it is a regular file, or a link to one:
// a named pipe would block the open (and whoever waits on it) for good, and
// a folder or a device such as /dev/zero holds no file's text. Returns why
// it could not, as words to end a message with, or an empty string once
// the file is open.
QString openRegularFile(QFile& file);

// The same for a file the messages call name; throws Error.
void openRegularFile(QFile& file, const QString& name);
