#pragma once

#include <QString>

class DatabaseLock;

// Rewrites Tardesk.mdb compactly: a compact copy is made in the temporary
// file "~temp.mdb" in the program folder and copied back over the database
// through SQLite (DatabaseReplacement), so a failure or a kill leaves the old
// file as it was. Works on the closed file: the caller closes its connection
// first.
class DatabaseCompactor
{
public:
    static QString temporaryFileName(const QString& programDir);

    // Holds lock exclusively (refusing when another client holds it) from
    // before the temporary file is touched until the new content is in
    // place, then returns it to its previous mode. SQLite files carry no
    // password, so a non-empty one is refused.
    static void CompactClientDatabase(const QString& programDir, const QString& password, DatabaseLock& lock);

    // Deletes a leftover "~temp.mdb" with its "-journal", "-wal" and "-shm".
    static void removeTemporaryFiles(const QString& programDir);
};
