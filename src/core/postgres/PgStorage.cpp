#include "PgStorage.h"

#include "core/postgres/PgPriceListRebuild.h"
#include "core/postgres/PgSchema.h"

PgStorage::PgStorage(const QString& connection)
    : m_connection(connection), m_db(connection), m_catalogue(m_db), m_settings(m_db), m_order(m_db),
      m_priceChanges(m_db)
{
    PgSchema::check(m_db);
}

void PgStorage::readInOneSnapshot(const std::function<void()>& read)
{
    PgTransaction snapshot(m_db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    read();
    snapshot.commit();
}

std::unique_ptr<PriceListRebuild> PgStorage::rebuild(PriceListRebuild::Listener listener)
{
    // On a connection of its own: this one goes on answering searches.
    return std::make_unique<PgPriceListRebuild>(m_connection, std::move(listener));
}

void PgStorage::suspend()
{
    m_db.close();
    m_suspended = true;
}

void PgStorage::resume()
{
    // The next call opens the connection again.
    m_suspended = false;
}
