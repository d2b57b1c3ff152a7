#include "ShopStorage.h"

#include "core/config/IniFile.h"
#include "core/postgres/PgStorage.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/SqliteStorage.h"

QString ShopStorage::databaseFileName(const QString& folder)
{
    return ClientFiles::databaseFileName(folder);
}

namespace {

QString& serverOfRun()
{
    static QString server;
    return server;
}

} // namespace

void ShopStorage::setServer(const QString& connection)
{
    serverOfRun() = connection;
}

QString ShopStorage::serverConnection(const QString& folder)
{
    if (!serverOfRun().isEmpty())
        return serverOfRun();
    return IniFile(IniFile::clientFileName(folder))
        .ReadString(QStringLiteral("Server"), QStringLiteral("Connection"), QString())
        .trimmed();
}

std::unique_ptr<Storage> ShopStorage::open(const QString& folder, Access access,
                                           const std::function<void()>& whileWaiting)
{
    // The server's own locks and transactions take the place of the folder's lock.
    if (const QString server = serverConnection(folder); !server.isEmpty())
        return std::make_unique<PgStorage>(server);
    return std::make_unique<SqliteStorage>(
        folder, access == Access::Shared ? SqliteStorage::Access::Shared : SqliteStorage::Access::Read,
        whileWaiting);
}

void ShopStorage::create(const QString& folder)
{
    ClientFiles::create(folder);
}

void ShopStorage::compact(const QString& folder)
{
    DatabaseLock lock(folder);
    DatabaseCompactor::CompactClientDatabase(folder, QString(), lock);
}
