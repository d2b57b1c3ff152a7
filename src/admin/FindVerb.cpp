#include "FindVerb.h"

#include "core/errors/Error.h"
#include "core/search/PriceGridColumns.h"
#include "core/session/ShopStorage.h"
#include "core/storage/NameIndex.h"
#include "core/storage/Storage.h"
#include "core/text/NameWords.h"

#include <QCoreApplication>

int FindVerb::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() < 2)
        return wrongUsage(err);
    const QString folder = arguments.front();
    const std::unique_ptr<Storage> storage = openShop(folder, ShopStorage::Access::Read);
    const QStringList query = NameWords::query(arguments.mid(1).join(QLatin1Char(' ')));
    NameIndex::Found found;
    if (!query.isEmpty()) {
        if (!storage->names().isBuilt()) {
            // A clerk's role may not change a shop on a server; its update indexes the names.
            if (!ShopStorage::serverConnection(folder).isEmpty())
                throw Error(QCoreApplication::translate(
                    "FindVerb", "Поиск по названию недоступен: обновите прайс-лист (tardesk-admin update)"));
            err << QCoreApplication::translate("FindVerb", "Индексирование названий позиций…") << Qt::endl;
            storage->buildNameIndex({});
        }
        found = storage->names().find(query, -1);
    }
    if (found.shown.empty()) {
        out << QStringLiteral("не найден\n");
        return 1;
    }
    // The whole answer is made before any of it is printed, so a failure prints only the error.
    QString text;
    for (const NameIndex::Match& match : found.shown)
        text += tabSeparated({match.part.partNumber, match.part.partName, match.groupName,
                              PriceGridColumns::text(match.part, PriceGridColumns::Price),
                              PriceGridColumns::stockText(match.part.stockTotal())});
    out << text;
    return 0;
}
