#pragma once

#include "core/postgres/PgConnection.h"
#include "core/postgres/PgOrderStorage.h"
#include "core/postgres/PgPriceCatalogue.h"
#include "core/postgres/PgPriceChangeStorage.h"
#include "core/postgres/PgSettingsStorage.h"
#include "core/storage/Storage.h"

#include <QString>

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
    // One read-only snapshot of the database.
    void readInOneSnapshot(const std::function<void()>& read) override;
    std::unique_ptr<PriceListRebuild> rebuild(PriceListRebuild::Listener listener) override;
    void suspend() override;
    void resume() override;
    bool isSuspended() const override { return m_suspended; }

    PgConnection& connection() { return m_db; }

private:
    QString m_connection;
    PgConnection m_db;
    bool m_suspended = false;
    PgPriceCatalogue m_catalogue;
    PgSettingsStorage m_settings;
    PgOrderStorage m_order;
    PgPriceChangeStorage m_priceChanges;
};
