#pragma once

#include "core/config/IniFile.h"
#include "core/search/PartSearch.h"
#include "core/storage/SettingsRecord.h"
#include "core/storage/Storage.h"

#include <QString>

#include <functional>
#include <memory>

// What the client holds open for the whole run: the configuration file,
// the shop's storage and the settings record, found in the program folder.
// Free of widgets, so start-up and shutdown are testable.
class ClientSession
{
public:
    explicit ClientSession(const QString& programDir);

    const QString& ProgramDir() const { return m_programDir; }

    // Start-up: the configuration file must exist; it is read whole.
    void openIniFile();
    // Start-up: the database file must exist; waits while a compaction or
    // update replaces the file (calling whileWaiting now and then), then
    // opens it and the settings record.
    void openDatabase(const std::function<void()>& whileWaiting = {});
    // Lets go of the storage, as Exit does; the settings record closes.
    void closeDatabase();
    // Opens again what Exit or an update let go of.
    void reopenDatabase();
    bool isDatabaseOpen() const { return m_storage && !m_storage->isSuspended(); }

    IniFile* iniFile() { return m_iniFile.get(); }
    // Throw until openDatabase() succeeded.
    Storage& storage();
    SettingsRecord& settings() { return m_settings; }
    PartSearch search() { return PartSearch(storage().catalogue(), m_settings); }

    // The message that stops the start when a required file is missing.
    static QString missingFileMessage(const QString& path);

private:
    QString m_programDir;
    QString m_iniFileName;
    std::unique_ptr<IniFile> m_iniFile;
    std::unique_ptr<Storage> m_storage;
    SettingsRecord m_settings;
};
