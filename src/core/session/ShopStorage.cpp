#include "ShopStorage.h"

#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/SqliteStorage.h"

QString ShopStorage::databaseFileName(const QString& folder)
{
    return ClientFiles::databaseFileName(folder);
}

std::unique_ptr<Storage> ShopStorage::open(const QString& folder, Access access,
                                           const std::function<void()>& whileWaiting)
{
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
