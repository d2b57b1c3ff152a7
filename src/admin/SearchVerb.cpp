#include "SearchVerb.h"

#include "core/search/PartSearch.h"
#include "core/search/PriceGridColumns.h"
#include "core/session/ShopStorage.h"
#include "core/storage/SettingsRecord.h"
#include "core/storage/Storage.h"

int SearchVerb::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2)
        return wrongUsage(err);
    const std::unique_ptr<Storage> storage = openShop(arguments[0], ShopStorage::Access::Read);
    SettingsRecord settings;
    settings.open(storage->settings());
    const PartSearch::Found found = PartSearch(storage->catalogue(), settings).find(arguments[1]);
    if (found.crosses.isEmpty()) {
        out << QStringLiteral("не найден\n");
        return 0;
    }
    // The whole answer is made before any of it is printed, so a failure prints only the error.
    QString text = QStringLiteral("Ok\n") + found.crosses.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
    QStringList titles;
    for (int column = 0; column < PriceGridColumns::kCount; ++column)
        titles << PriceGridColumns::title(column);
    text += tabSeparated(titles);
    for (const PriceRow& row : found.rows) {
        QStringList fields;
        for (int column = 0; column < PriceGridColumns::kCount; ++column)
            fields << PriceGridColumns::text(row, column);
        text += tabSeparated(fields);
    }
    out << text;
    return 0;
}
