#include "ChangesVerb.h"

#include "core/search/PriceChangeList.h"
#include "core/session/ShopStorage.h"
#include "core/storage/Storage.h"

int ChangesVerb::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 1)
        return wrongUsage(err);
    const std::unique_ptr<Storage> storage = openShop(arguments[0], ShopStorage::Access::Read);
    QString text;
    for (const PriceChangeList::Line& line : PriceChangeList::read(storage->priceChanges()))
        text += tabSeparated(PriceChangeList::fields(line));
    out << text;
    return 0;
}
