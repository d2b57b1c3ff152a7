#pragma once

#include "admin/AdminVerb.h"

// "init FOLDER": a new shop, its database and an empty Tardesk.ini.
// "init FOLDER --server CONN": the shop in FOLDER (its Tardesk.mdb, when
// there is one) moved into the server's empty database, and FOLDER's
// Tardesk.ini pointed at it.
class InitVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
