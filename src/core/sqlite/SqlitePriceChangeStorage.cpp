#include "SqlitePriceChangeStorage.h"

#include "core/sqlite/Database.h"
#include "core/sqlite/Schema.h"

#include <SQLiteCpp/Statement.h>

#include <QString>

namespace {

std::optional<double> real(const SQLite::Column& column)
{
    return column.isNull() ? std::nullopt : std::optional<double>(column.getDouble());
}

} // namespace

SqlitePriceChangeStorage::SqlitePriceChangeStorage(Database& database) : m_database(database)
{}

std::vector<PriceChangeStorage::Line> SqlitePriceChangeStorage::read()
{
    SQLite::Database& db = m_database.connection();
    std::vector<Line> lines;
    if (!db.tableExists(Tables::kPriceChangesTable))
        return lines;
    SQLite::Statement columns(
        db, "SELECT count(*) FROM pragma_table_info('PRICE_CHANGES') WHERE name = 'PARTNAME'");
    columns.executeStep();
    const bool withNames = columns.getColumn(0).getInt() > 0;
    SQLite::Statement query(db, QString::fromLatin1(Schema::kSelectPriceChanges)
                                    .arg(withNames ? QStringLiteral("PARTNAME") : QStringLiteral("NULL"))
                                    .toStdString());
    while (query.executeStep()) {
        const std::optional<PriceChange::Kind> kind =
            PriceChange::fromName(QString::fromUtf8(query.getColumn(0).getText()));
        if (!kind)
            continue;
        lines.push_back(Line{*kind, query.getColumn(1).getString(), query.getColumn(2).getString(),
                             real(query.getColumn(3)), real(query.getColumn(4)),
                             QString::fromUtf8(query.getColumn(5).getText())});
    }
    return lines;
}
