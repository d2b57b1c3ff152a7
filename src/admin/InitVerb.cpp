#include "InitVerb.h"

#include "core/session/ShopStorage.h"

int InitVerb::execute(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    if (arguments.size() != 1)
        return wrongUsage(err);
    ShopStorage::create(arguments.front());
    return 0;
}
