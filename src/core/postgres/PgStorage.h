#pragma once

#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgNameIndex.h"
#include "core/postgres/PgOrderStorage.h"
#include "core/postgres/PgPriceCatalogue.h"
#include "core/postgres/PgPriceChangeStorage.h"
#include "core/postgres/PgSettingsStorage.h"
#include "core/storage/Storage.h"

#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// A shop kept in a PostgreSQL database, reached through a libpq connection
// string; Tardesk.mdb is neither needed nor opened.
class PgStorage : public Storage
{
public:
    // Connects and checks that the database holds a shop this release reads.
    explicit PgStorage(const QString& connection);

    PriceCatalogue& catalogue() override { return m_catalogue; }
    SettingsStorage& settings() override { return m_settings; }
    OrderStorage& order() override { return m_order; }
    PriceChangeStorage& priceChanges() override { return m_priceChanges; }
    NameIndex& names() override { return m_names; }
    // Only a role that may update the list may index its names.
    void buildNameIndex(PriceListRebuild::Listener listener) override;
    // One read-only snapshot of the database.
    void readInOneSnapshot(const std::function<void()>& read) override;
    std::unique_ptr<PriceListRebuild> rebuild(PriceListRebuild::Listener listener) override;
    void suspend() override;
    void resume() override;
    bool isSuspended() const override { return m_suspended; }
    // A thread with a connection of its own LISTENs for the update's
    // notice (on a standby, which cannot, it reads the version every few
    // seconds), builds the new list's cross map and hands it over.
    void watchListChanges(std::function<void()> listChanged) override;

    ~PgStorage() override;

    PgConnection& connection() { return m_db; }
    // Where the settings and the order are read and written: the primary,
    // also when the list is read from a standby.
    PgConnection& primary() { return m_primary ? *m_primary : m_db; }

    // The channel an update notifies once its list is in place.
    static constexpr char kListChannel[] = "tardesk_list";
    // How often a counter that cannot LISTEN reads the list's version.
    static constexpr std::chrono::milliseconds kVersionPollInterval{3000};

private:
    void watch(std::function<void()> listChanged);
    // Waits up to timeout unless the storage goes meanwhile; false once it goes.
    bool pause(std::chrono::milliseconds timeout);

    QString m_connection;
    PgConnection m_db;
    // Opened only when m_db reached a standby.
    std::unique_ptr<PgConnection> m_primary;
    bool m_suspended = false;
    PgPriceCatalogue m_catalogue;
    PgSettingsStorage m_settings;
    PgOrderStorage m_order;
    PgPriceChangeStorage m_priceChanges;
    PgNameIndex m_names;
    std::mutex m_watchMutex;
    std::condition_variable m_watchWake;
    bool m_watchStopped = false;
    std::thread m_watcher;
};
