#pragma once

#include "core/errors/Error.h"
#include "core/sqlite/CrossIndex.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/SqliteNameIndex.h"
#include "core/sqlite/SqliteOrderStorage.h"
#include "core/sqlite/SqlitePriceCatalogue.h"
#include "core/sqlite/SqlitePriceChangeStorage.h"
#include "core/sqlite/SqliteSettingsStorage.h"
#include "core/storage/Storage.h"

#include <QString>

#include <functional>

// A shop kept in Tardesk.mdb in its program folder, on one connection with
// its cross-number map.
class SqliteStorage : public Storage
{
public:
    enum class Access
    {
        Read,  // no lock: reads stay whole through SQLite's own locks
        Shared // holds the folder's lock shared, as a running client does
    };

    // The file must exist. Shared waits while another program replaces the
    // file, calling whileWaiting now and then; in a folder where no lock file
    // can be made it goes on without the lock, for reading.
    SqliteStorage(const QString& programDir, Access access, const std::function<void()>& whileWaiting = {});
    ~SqliteStorage() override { suspend(); }

    PriceCatalogue& catalogue() override { return m_catalogue; }
    SettingsStorage& settings() override { return m_settings; }
    OrderStorage& order() override { return m_order; }
    PriceChangeStorage& priceChanges() override { return m_priceChanges; }
    NameIndex& names() override { return m_names; }
    // Closes the connection meanwhile, as rebuild() does.
    void buildNameIndex(PriceListRebuild::Listener listener) override;
    void readInOneSnapshot(const std::function<void()>& read) override;
    // Closes the connection first: the file under it is about to be replaced.
    std::unique_ptr<PriceListRebuild> rebuild(PriceListRebuild::Listener listener) override;
    void suspend() override;
    void resume() override;
    bool isSuspended() const override { return !m_database.isOpen(); }

private:
    QString m_programDir;
    Access m_access;
    DatabaseLock m_lock;
    Database m_database;
    CrossIndex m_crossIndex;
    SqlitePriceCatalogue m_catalogue;
    SqliteSettingsStorage m_settings;
    SqliteOrderStorage m_order;
    SqlitePriceChangeStorage m_priceChanges;
    SqliteNameIndex m_names;
};
