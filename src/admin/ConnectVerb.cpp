#include "ConnectVerb.h"

#include "core/session/ShopStorage.h"

int ConnectVerb::execute(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    if (arguments.size() != 2)
        return wrongUsage(err);
    ShopStorage::connectToServer(arguments[0], arguments[1]);
    return 0;
}
