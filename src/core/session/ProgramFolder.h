#pragma once

#include <QString>

// Which folder the client keeps its files in. A copy run from anywhere uses
// its own folder, so its database and settings move with it; an installed
// copy (under /usr, where a clerk cannot write) uses the clerk's own data
// folder instead.
class ProgramFolder
{
public:
    // applicationDir: the folder of the running program file; chosen: the
    // folder the clerk named with --folder, or empty. An installed copy's data
    // folder holding neither Tardesk.mdb nor Tardesk.ini gets both, as
    // tardesk-admin init makes them; every other folder is used as it is.
    static QString choose(const QString& applicationDir, const QString& chosen);

    // ~/.local/share/Tardesk, or wherever the desktop keeps its users' data.
    static QString dataFolder();
};
