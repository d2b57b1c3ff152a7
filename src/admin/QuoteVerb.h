#pragma once

#include "admin/AdminVerb.h"

// "quote FOLDER NUMBER FILE.pdf": the quote the client would print for the
// first cross number that the search finds, with the columns that
// FOLDER/Tardesk.ini shows.
class QuoteVerb : public AdminVerb
{
public:
    bool needsGui() const override { return true; }
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
