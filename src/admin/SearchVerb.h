#pragma once

#include "admin/AdminVerb.h"

// "search FOLDER NUMBER": what the client shows after a search, as text;
// writes nothing, though the engine may roll back what a killed writer left.
class SearchVerb : public AdminVerb
{
public:
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) override;
};
