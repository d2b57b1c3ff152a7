#include "InitVerb.h"

#include "core/session/ShopStorage.h"

int InitVerb::execute(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    if (arguments.size() != 1)
        return wrongUsage(err);
    // With --server the shop goes onto the server; no Tardesk.mdb is made.
    if (const QString server = ShopStorage::server(); !server.isEmpty())
        ShopStorage::createOnServer(arguments.front(), server);
    else
        ShopStorage::create(arguments.front());
    return 0;
}
