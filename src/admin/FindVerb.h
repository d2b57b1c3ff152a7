#pragma once

#include "admin/AdminVerb.h"

// "find FOLDER WORDS...": the parts whose names have a word beginning with
// each typed word, in the order and with the numbers of the client's name
// search, all of them. Indexes the names first on a list made without the
// index, where the shop is a file this user may write.
class FindVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
