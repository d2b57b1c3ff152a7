#include "PgStorage.h"

#include "core/postgres/PgSchema.h"

#include <QCoreApplication>

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

std::unique_ptr<PriceListRebuild> PgStorage::rebuild(PriceListRebuild::Listener /*listener*/)
{
    throw Error(
        QCoreApplication::translate("PgStorage", "Обновление прайс-листа на сервере ещё не поддерживается"));
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
