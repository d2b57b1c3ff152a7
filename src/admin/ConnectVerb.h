#pragma once

#include "admin/AdminVerb.h"

// "connect FOLDER CONN": a further counter of a shop already on the server.
class ConnectVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
