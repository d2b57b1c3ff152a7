#pragma once

#include "core/config/IniFile.h"
#include "core/db/Database.h"
#include "core/db/DatabaseLock.h"
#include "core/db/SettingsRecord.h"
#include "core/search/CrossIndex.h"

#include <QString>

#include <functional>
#include <memory>

// What the client holds open for the whole run: the configuration file,
// the database connection with its cross-number map and the settings
// record, found in the program folder. Free of widgets, so start-up and shutdown are testable.
class ClientSession
{
public:
    explicit ClientSession(const QString& programDir);

    const QString& ProgramDir() const { return m_programDir; }

    // Start-up: the configuration file must exist; it is read whole.
    void openIniFile();
    // Start-up: the database file must exist; takes the shared lock, waiting
    // while a compaction or update replaces the file (calling whileWaiting
    // now and then), then opens it and the settings record. In a folder
    // where no lock file can be made the client goes on without the lock:
    // searching needs no write.
    void openDatabase(const std::function<void()>& whileWaiting = {});
    // Reopens the connection and the settings record after Exit closed them.
    void reopenDatabase();

    IniFile* iniFile() { return m_iniFile.get(); }
    Database& database() { return m_database; }
    SettingsRecord& settings() { return m_settings; }
    // The connection's cross-number map, for every search on it.
    CrossIndex& crossIndex() { return m_crossIndex; }
    // Held shared from start-up to exit.
    DatabaseLock& lock() { return m_lock; }

    // The message that stops the start when a required file is missing.
    static QString missingFileMessage(const QString& path);

private:
    QString m_programDir;
    QString m_iniFileName;
    QString m_databaseFileName;
    std::unique_ptr<IniFile> m_iniFile;
    DatabaseLock m_lock;
    Database m_database;
    SettingsRecord m_settings;
    CrossIndex m_crossIndex;
};
