#include "ClientFiles.h"

#include "core/db/Schema.h"
#include "core/text/Error.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString withSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

QString ClientFiles::iniFileName(const QString& programDir)
{
    return withSeparator(programDir) + QStringLiteral("Tardesk.ini");
}

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
        SQLite::Statement row(db, "INSERT INTO SETTINGS (CL_ID, CL_NAME, CL_ADDRESS, CL_EMAIL, SUPP_NAME, "
                                  "SUPP_ADRES, SUPP_PHONE, SUPP_EMAIL, RATE_USD, RATE_EURO) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        row.bind(1, "00017");
        row.bind(2, "ООО «Автомаркет Запад»");
        row.bind(3, "г. Львов, ул. Городоцкая, 174");
        row.bind(4, "zakaz@avtomarket-zapad.com.ua");
        row.bind(5, "ООО «Вельмора Трейд»");
        row.bind(6, "г. Киев, ул. Магнитогорская, 1");
        row.bind(7, "(044) 501-23-45, факс (044) 501-23-46");
        row.bind(8, "price@velmora.ua");
        row.bind(9, 41.25);
        row.bind(10, 48.10);
        row.exec();
        transaction.commit();
    } catch (...) {
        QFile::remove(fileName);
        throw;
    }
}

void ClientFiles::create(const QString& folder)
{
    const QString ini = iniFileName(folder);
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
