#pragma once

#include "admin/AdminVerb.h"

// "changes FOLDER": every difference the last update found, one
// tab-separated line each.
class ChangesVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
