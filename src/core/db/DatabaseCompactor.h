#pragma once

#include <QString>

class DatabaseLock;

// Rewrites Tardesk.mdb compactly through the temporary file "~temp.mdb" in
// the program folder and swaps it in with one atomic rename, so there is
// never a moment without a Tardesk.mdb and a failure leaves the old file in
// use. Works on the closed file: the caller closes its connection first.
class DatabaseCompactor
{
public:
    static QString temporaryFileName(const QString& programDir);

    // Holds lock exclusively (refusing when another client holds it) from
    // before the temporary file is touched until the new file is in place,
    // then returns it to its previous mode. SQLite files carry no password,
    // so a non-empty one is refused.
    static void CompactClientDatabase(const QString& programDir, const QString& password, DatabaseLock& lock);

    // Deletes a leftover "~temp.mdb" with its "-journal", "-wal" and "-shm".
    static void removeTemporaryFiles(const QString& programDir);
    // Flushes the complete "~temp.mdb", gives it the permissions of the old
    // file, renames it over Tardesk.mdb and flushes the folder. The caller
    // holds the lock exclusively and has closed every connection to both.
    static void replaceDatabase(const QString& programDir);
};
