#pragma once

#include "admin/AdminVerb.h"

// "compact FOLDER": the database rewritten compactly.
class CompactVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
