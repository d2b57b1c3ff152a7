#pragma once

#include "admin/AdminVerb.h"

// "init FOLDER": a new shop, its database and an empty Tardesk.ini.
class InitVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
