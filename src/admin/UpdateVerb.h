#pragma once

#include "admin/AdminVerb.h"

// "update FOLDER": the clerk's update without the questions, for scripts
// and for measuring.
class UpdateVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
