#pragma once

#include "core/search/PriceRow.h"

#include <QStringList>
#include <QTextStream>

#include <vector>

class Database;
class SettingsRecord;

// The maintenance commands of tardesk-admin; none needs a display.
class AdminTool
{
public:
    // arguments exclude the program name; returns the exit status.
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

    // FOLDER's Tardesk.mdb; throws when there is no such file.
    static QString existingDatabase(const QString& folder);

    // What the client finds for a number, read only: the cross numbers and
    // the first one's price list, priced with the settings record, which is
    // opened on database, which is opened on FOLDER's file.
    struct Found
    {
        QStringList crosses;
        std::vector<PriceRow> rows;
    };
    static Found findFirst(const QString& folder, const QString& number, Database& database,
                           SettingsRecord& settings);
};
