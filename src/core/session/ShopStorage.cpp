#include "ShopStorage.h"

#include "core/config/IniFile.h"
#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgStorage.h"
#include "core/session/ShopMove.h"
#include "core/sqlite/ClientFiles.h"
#include "core/sqlite/DatabaseCompactor.h"
#include "core/sqlite/DatabaseLock.h"
#include "core/sqlite/SqliteStorage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ShopStorage::databaseFileName(const QString& folder)
{
    return ClientFiles::databaseFileName(folder);
}

namespace {

const QString kServerSection = QStringLiteral("Server");
const QString kConnectionKey = QStringLiteral("Connection");

void makeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw Error(QCoreApplication::translate("ShopStorage", "Не удалось создать папку %1").arg(folder));
}

void writeConnection(const QString& folder, const QString& connection)
{
    makeFolder(folder);
    IniFile ini(IniFile::clientFileName(folder));
    ini.WriteString(kServerSection, kConnectionKey, connection);
    ini.UpdateFile();
}

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

QString ShopStorage::server()
{
    return serverOfRun();
}

QString ShopStorage::serverConnection(const QString& folder)
{
    if (!serverOfRun().isEmpty())
        return serverOfRun();
    return IniFile(IniFile::clientFileName(folder))
        .ReadString(kServerSection, kConnectionKey, QString())
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

void ShopStorage::createOnServer(const QString& folder, const QString& connection)
{
    PgConnection db(connection);
    // Before the server is filled, so that a folder that cannot be made leaves the database empty.
    makeFolder(folder);
    const QString file = databaseFileName(folder);
    ShopMove::copyToServer(db, QFileInfo(file).isFile() ? file : QString());
    writeConnection(folder, connection);
}

void ShopStorage::connectToServer(const QString& folder, const QString& connection)
{
    PgConnection db(connection);
    PgSchema::check(db);
    writeConnection(folder, connection);
}

void ShopStorage::compact(const QString& folder)
{
    if (const QString server = serverConnection(folder); !server.isEmpty())
        throw Error(QCoreApplication::translate(
            "ShopStorage", "Магазин в базе PostgreSQL: сжимать нечего, место освобождает "
                           "сам сервер (autovacuum)"));
    DatabaseLock lock(folder);
    DatabaseCompactor::CompactClientDatabase(folder, QString(), lock);
}
