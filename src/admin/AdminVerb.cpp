#include "AdminVerb.h"

#include "core/errors/Error.h"
#include "core/session/CommandLine.h"

#include <QFileInfo>

int AdminVerb::wrongUsage(QTextStream& err)
{
    err << CommandLine::usage(CommandLine::Program::Admin);
    return 2;
}

std::unique_ptr<Storage> AdminVerb::openShop(const QString& folder, ShopStorage::Access access)
{
    const QString fileName = ShopStorage::databaseFileName(folder);
    if (ShopStorage::serverConnection(folder).isEmpty() && !QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    return ShopStorage::open(folder, access);
}

QString AdminVerb::tabSeparated(const QStringList& fields)
{
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
}
