#include "PgStorage.h"

#include "core/postgres/PgPriceListRebuild.h"
#include "core/postgres/PgSchema.h"
#include "core/storage/CrossMap.h"

#include <QCoreApplication>

namespace {

// A connection to the primary beside db, when db reached a standby.
std::unique_ptr<PgConnection> primaryBeside(PgConnection& db, const QString& connection)
{
    if (db.exec("SELECT pg_is_in_recovery()").text(0, 0) != "t")
        return nullptr;
    return std::make_unique<PgConnection>(connection, PgConnection::Target::Primary);
}

} // namespace

PgStorage::PgStorage(const QString& connection)
    : m_connection(connection), m_db(connection), m_primary(primaryBeside(m_db, connection)),
      m_catalogue(m_db), m_settings(primary()), m_order(primary()), m_priceChanges(m_db), m_names(m_db)
{
    PgSchema::check(m_db);
}

PgStorage::~PgStorage()
{
    {
        const std::lock_guard<std::mutex> lock(m_watchMutex);
        m_watchStopped = true;
    }
    m_watchWake.notify_all();
    if (m_watcher.joinable())
        m_watcher.join();
}

void PgStorage::watchListChanges(std::function<void()> listChanged)
{
    if (m_watcher.joinable())
        return;
    m_catalogue.setMapsInBackground(true);
    m_watcher = std::thread([this, listChanged = std::move(listChanged)] { watch(listChanged); });
}

bool PgStorage::pause(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(m_watchMutex);
    return !m_watchWake.wait_for(lock, timeout, [this] { return m_watchStopped; });
}

void PgStorage::watch(std::function<void()> listChanged)
{
    // How often a connection that listens looks whether the storage is going.
    constexpr std::chrono::milliseconds kListenSlice{200};
    const auto stopped = [this] {
        const std::lock_guard<std::mutex> lock(m_watchMutex);
        return m_watchStopped;
    };
    qint64 seen = -1;
    while (!stopped()) {
        try {
            PgConnection db(m_connection);
            db.setStopRequest(stopped);
            const bool standby = db.exec("SELECT pg_is_in_recovery()").text(0, 0) == "t";
            if (!standby)
                db.exec(std::string("LISTEN ") + kListChannel);
            for (;;) {
                qint64 version = db.exec(PgSchema::kSelectListVersion).integer(0, 0);
                // A catalogue with no map yet builds its first itself.
                const qint64 held = m_catalogue.mapVersion();
                if (held >= 0 && held != version) {
                    std::unique_ptr<PgPriceCatalogue::Maps> map = PgPriceCatalogue::readMap(db, &version);
                    m_catalogue.adoptMap(std::move(map), version);
                }
                if (seen >= 0 && version != seen)
                    listChanged();
                seen = version;
                if (standby) {
                    if (!pause(kVersionPollInterval))
                        return;
                } else {
                    // The version is read again now and then, for a list
                    // changed without the notice (a shop moved to the server).
                    for (auto waited = std::chrono::milliseconds(0);
                         waited < kVersionPollInterval * 10 && !db.waitForNotification(kListenSlice);
                         waited += kListenSlice)
                        if (stopped())
                            return;
                }
            }
        } catch (const std::exception&) {
            // The server is away: the searches say so; try again in a while.
            if (!pause(kVersionPollInterval))
                return;
        }
    }
}

void PgStorage::readInOneSnapshot(const std::function<void()>& read)
{
    // A standby may cancel the snapshot for what it replays: once more.
    for (int attempt = 0;; ++attempt) {
        try {
            PgListSnapshot snapshot(m_db);
            read();
            snapshot.commit();
            return;
        } catch (const PgError& error) {
            if (attempt > 0 || error.sqlState() != QLatin1String("40001"))
                throw;
        }
    }
}

std::unique_ptr<PriceListRebuild> PgStorage::rebuild(PriceListRebuild::Listener listener)
{
    // On a connection of its own: this one goes on answering searches.
    return std::make_unique<PgPriceListRebuild>(m_connection, std::move(listener));
}

void PgStorage::suspend()
{
    m_db.close();
    if (m_primary)
        m_primary->close();
    m_suspended = true;
}

void PgStorage::resume()
{
    // The next call opens the connection again.
    m_suspended = false;
}

void PgStorage::buildNameIndex(PriceListRebuild::Listener listener)
{
    // On the primary, wherever the counter reads.
    PgConnection db(m_connection, PgConnection::Target::Primary);
    db.setStopRequest(listener.keepAlive);
    try {
        PgSchema::checkMayUpdate(db);
    } catch (const Error& error) {
        throw Error(
            QCoreApplication::translate("PgStorage", "Поиск по названию недоступен: обновите прайс-лист. %1")
                .arg(error.message()));
    }
    // Not beside an update, which brings an index of its own.
    if (!PgSchema::lockUpdate(db))
        throw Error(QCoreApplication::translate(
            "PgStorage", "Прайс-лист обновляется на другом рабочем месте; повторите после конца обновления"));
    if (!PgNameIndex::exists(db))
        PgNameIndex::buildInPlace(db, listener);
    // Closing the connection frees the lock.
}
