#include "Schema.h"

#include <cctype>

#include <QStringList>

namespace Schema {

using namespace Tables;

namespace {

QString declaredType(const TableColumn& column)
{
    switch (column.kind) {
    case TableColumn::Text:
        return QStringLiteral("TEXT(%1)").arg(column.length);
    case TableColumn::Single:
        return QStringLiteral("SINGLE");
    case TableColumn::Double:
        return QStringLiteral("DOUBLE");
    case TableColumn::Short:
        return QStringLiteral("SHORT");
    case TableColumn::Integer:
        break;
    }
    return QStringLiteral("INTEGER");
}

// The type with which the installer tool creates a settings column.
QString declaredType(const SettingsColumn& column)
{
    switch (column.kind) {
    case FieldKind::Text:
        return declaredType(TableColumn{column.name, TableColumn::Text, column.length});
    case FieldKind::Double:
        return declaredType(TableColumn{column.name, TableColumn::Double, 0});
    case FieldKind::DateTime:
        return QStringLiteral("DATETIME");
    case FieldKind::Integer:
        break;
    }
    return declaredType(TableColumn{column.name, TableColumn::Integer, 0});
}

QString createTable(const char* table, const QStringList& definitions)
{
    return QStringLiteral("CREATE TABLE %1 (%2);")
        .arg(QLatin1String(table), definitions.join(QStringLiteral(", ")));
}

template <size_t N>
std::string createTable(const char* table, const std::array<TableColumn, N>& columns, const char* keyColumn)
{
    QStringList definitions;
    for (const TableColumn& column : columns) {
        QString definition = QLatin1String(column.name) + QLatin1Char(' ') + declaredType(column);
        if (keyColumn && qstrcmp(column.name, keyColumn) == 0)
            definition += QStringLiteral(" NOT NULL PRIMARY KEY");
        definitions << definition;
    }
    return createTable(table, definitions).toStdString();
}

} // namespace

std::string createPriceStatement()
{
    return createTable(kPriceTable, kPriceColumns, nullptr);
}

std::string createGroupsStatement()
{
    return createTable(kGroupsTable, kGroupsColumns, kGroupsColumns.front().name);
}

std::string prefixed(std::string_view statement, std::string_view table, std::string_view prefix)
{
    const auto inName = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::string result(statement);
    for (size_t at = result.find(table); at != std::string::npos; at = result.find(table, at + 1)) {
        const size_t end = at + table.size();
        if ((at == 0 || !inName(result[at - 1])) && (end == result.size() || !inName(result[end]))) {
            result.insert(at, prefix);
            break;
        }
    }
    return result;
}

QString createSettingsStatement()
{
    QStringList definitions;
    for (const SettingsColumn& column : kSettingsColumns)
        definitions << QLatin1String(column.name) + QLatin1Char(' ') + declaredType(column);
    return createTable("SETTINGS", definitions);
}

} // namespace Schema
