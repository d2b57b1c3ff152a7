#pragma once

#include <QString>

// The files a new installation starts with: Tardesk.mdb with its three
// tables (SETTINGS holding one sample row) and an empty Tardesk.ini.
class ClientFiles
{
public:
    static QString databaseFileName(const QString& programDir);

    // Creates folder if missing, then both files. Refuses, changing
    // nothing, when either file already exists.
    static void create(const QString& folder);
    // The database alone, over a path that must not exist yet.
    static void createDatabase(const QString& fileName);
};
