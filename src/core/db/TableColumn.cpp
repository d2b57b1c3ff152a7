#include "TableColumn.h"

#include "core/text/Error.h"

#include <QList>

std::vector<TableColumn> TableColumn::fromCreateTable(QByteArrayView statement)
{
    const QString text = QString::fromUtf8(statement);
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype close = text.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        throw Error(QStringLiteral("Not a CREATE TABLE statement: %1").arg(text));

    std::vector<TableColumn> columns;
    // Types carry no commas, so the column list splits at every comma.
    const QStringList definitions = text.mid(open + 1, close - open - 1).split(QLatin1Char(','));
    for (const QString& definition : definitions) {
        const QStringList words = definition.simplified().split(QLatin1Char(' '));
        if (words.size() < 2)
            throw Error(QStringLiteral("Column without a type: %1").arg(definition));
        TableColumn column;
        column.name = words[0];
        const QString type = words[1].toUpper();
        if (type.startsWith(QLatin1String("TEXT(")) && type.endsWith(QLatin1Char(')'))) {
            bool ok = false;
            column.kind = Text;
            column.length = type.mid(5, type.size() - 6).toInt(&ok);
            if (!ok || column.length <= 0)
                throw Error(QStringLiteral("Bad text length: %1").arg(definition));
        } else if (type == QLatin1String("SINGLE")) {
            column.kind = Single;
        } else if (type == QLatin1String("DOUBLE")) {
            column.kind = Double;
        } else if (type == QLatin1String("SHORT")) {
            column.kind = Short;
        } else if (type == QLatin1String("INTEGER")) {
            column.kind = Integer;
        } else {
            throw Error(QStringLiteral("Unsupported column type: %1").arg(definition));
        }
        columns.push_back(column);
    }
    return columns;
}
