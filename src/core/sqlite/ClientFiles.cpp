#include "ClientFiles.h"

#include "core/config/IniFile.h"
#include "core/errors/Error.h"
#include "core/sqlite/Schema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <utility>
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
        SQLite::Transaction transaction(db);
        db.exec(Schema::createPriceStatement());
        db.exec(Schema::kCreatePriceShortPartNumberIndex);
        db.exec(Schema::kCreatePriceCrossNumberIndex);
        db.exec(Schema::createGroupsStatement());
        db.exec(Schema::createSettingsStatement().toStdString());
        // A sample client and supplier, so the new program shows sensible values.
        using Field = Tables::SettingsField;
        const std::pair<Field, std::variant<const char*, double>> sample[] = {
            {Field::CL_ID, "00017"},
            {Field::CL_NAME, "ООО «Автомаркет Запад»"},
            {Field::CL_ADDRESS, "г. Львов, ул. Городоцкая, 174"},
            {Field::CL_EMAIL, "zakaz@avtomarket-zapad.com.ua"},
            {Field::SUPP_NAME, "ООО «Вельмора Трейд»"},
            {Field::SUPP_ADRES, "г. Киев, ул. Магнитогорская, 1"},
            {Field::SUPP_PHONE, "(044) 501-23-45, факс (044) 501-23-46"},
            {Field::SUPP_EMAIL, "price@velmora.ua"},
            {Field::RATE_USD, 41.25},
            {Field::RATE_EURO, 48.10},
        };
        std::string columns;
        std::string places;
        for (const auto& [field, value] : sample) {
            columns += (columns.empty() ? "" : ", ") + std::string(Tables::settingsColumn(field).name);
            places += places.empty() ? "?" : ", ?";
        }
        SQLite::Statement row(db, "INSERT INTO SETTINGS (" + columns + ") VALUES (" + places + ")");
        int index = 0;
        for (const auto& entry : sample)
            std::visit([&row, &index](auto value) { row.bind(++index, value); }, entry.second);
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
