#include "Schema.h"

#include <QStringList>

namespace Schema {

QString declaredType(const SettingsColumn& column)
{
    switch (column.kind) {
    case FieldKind::Text:
        return QStringLiteral("TEXT(%1)").arg(column.length);
    case FieldKind::Double:
        return QStringLiteral("DOUBLE");
    case FieldKind::DateTime:
        return QStringLiteral("DATETIME");
    case FieldKind::Integer:
        break;
    }
    return QStringLiteral("INTEGER");
}

QString createSettingsStatement()
{
    QStringList columns;
    for (const SettingsColumn& column : kSettingsColumns)
        columns << QLatin1String(column.name) + QLatin1Char(' ') + declaredType(column);
    return QStringLiteral("CREATE TABLE SETTINGS (") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(");");
}

} // namespace Schema
