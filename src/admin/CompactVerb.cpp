#include "CompactVerb.h"

#include "core/session/ShopStorage.h"

int CompactVerb::execute(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    if (arguments.size() != 1)
        return wrongUsage(err);
    ShopStorage::compact(arguments.front());
    return 0;
}
