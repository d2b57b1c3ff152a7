#include "SqliteStorage.h"

#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/SqlitePriceListRebuild.h"

#include <SQLiteCpp/Transaction.h>

#include <QCoreApplication>

SqliteStorage::SqliteStorage(const QString& programDir, Access access,
                             const std::function<void()>& whileWaiting)
    : m_programDir(programDir), m_access(access), m_lock(programDir), m_catalogue(m_database, m_crossIndex),
      m_settings(m_database), m_order(m_database), m_priceChanges(m_database), m_names(m_database)
{
    if (access == Access::Shared)
        m_lock.lockShared(whileWaiting);
    m_database.open(ClientFiles::databaseFileName(programDir));
}

void SqliteStorage::readInOneSnapshot(const std::function<void()>& read)
{
    // One read transaction: one lock for all the statements instead of one each.
    SQLite::Transaction snapshot(m_database.connection());
    read();
    snapshot.commit();
}

std::unique_ptr<PriceListRebuild> SqliteStorage::rebuild(PriceListRebuild::Listener listener)
{
    suspend();
    return std::make_unique<SqlitePriceListRebuild>(m_programDir, m_lock, std::move(listener));
}

void SqliteStorage::buildNameIndex(PriceListRebuild::Listener listener)
{
    suspend();
    try {
        SqlitePriceListRebuild rebuild(m_programDir, m_lock, std::move(listener));
        try {
            rebuild.beginNameIndex();
        } catch (const Error& error) {
            throw Error(QCoreApplication::translate("SqliteStorage", "Поиск по названию не подготовлен. %1")
                            .arg(error.message()));
        }
        rebuild.indexNames();
        rebuild.commit();
    } catch (...) {
        resume();
        throw;
    }
    resume();
}

void SqliteStorage::suspend()
{
    m_catalogue.releaseStatements();
    m_names.forget();
    m_database.close();
}

void SqliteStorage::resume()
{
    if (m_access == Access::Shared)
        m_lock.lockShared();
    if (!m_database.isOpen())
        m_database.open(ClientFiles::databaseFileName(m_programDir));
}
