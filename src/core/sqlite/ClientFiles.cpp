#include "ClientFiles.h"

#include "core/config/IniFile.h"
#include "core/errors/Error.h"
#include "core/sqlite/Schema.h"
#include "core/storage/SampleSettings.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <variant>

namespace {

QString withSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

QString ClientFiles::databaseFileName(const QString& programDir)
{
    return withSeparator(programDir) + QStringLiteral("Tardesk.mdb");
}

void ClientFiles::createDatabase(const QString& fileName)
{
    const std::string path = QFile::encodeName(fileName).toStdString();
    try {
        SQLite::Database db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        // Fixed once the first table is made, and kept by every update, which
        // builds inside the file: larger pages mean fewer page splits and
        // cells moved while a list and its indexes go in.
        db.exec("PRAGMA page_size=16384");
        SQLite::Transaction transaction(db);
        db.exec(Schema::createPriceStatement());
        db.exec(Schema::kCreatePriceShortPartNumberIndex);
        db.exec(Schema::kCreatePriceCrossNumberIndex);
        db.exec(Schema::createGroupsStatement());
        db.exec(Schema::createSettingsStatement().toStdString());
        std::string columns;
        std::string places;
        for (const Tables::SampleSetting& sample : Tables::kSampleSettings) {
            columns += (columns.empty() ? "" : ", ") + std::string(Tables::settingsColumn(sample.field).name);
            places += places.empty() ? "?" : ", ?";
        }
        SQLite::Statement row(db, "INSERT INTO SETTINGS (" + columns + ") VALUES (" + places + ")");
        int index = 0;
        for (const Tables::SampleSetting& sample : Tables::kSampleSettings)
            std::visit([&row, &index](auto value) { row.bind(++index, value); }, sample.value);
        row.exec();
        transaction.commit();
    } catch (...) {
        QFile::remove(fileName);
        throw;
    }
}

void ClientFiles::create(const QString& folder)
{
    const QString ini = IniFile::clientFileName(folder);
    const QString database = databaseFileName(folder);
    for (const QString& path : {database, ini}) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            throw Error(QStringLiteral("%1 already exists; nothing was changed").arg(path));
    }
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot create folder %1").arg(folder));

    createDatabase(database);
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        QFile::remove(database);
        throw Error(QStringLiteral("Cannot create file \"%1\". %2").arg(ini, file.errorString()));
    }
}
