#pragma once

#include "core/search/CrossIndex.h"

#include <QString>
#include <QStringList>

#include <SQLiteCpp/Database.h>

// The cross numbers of all parts whose SHORTPARTNUMBER begins with a search
// number, ignoring letter case, through the plain index on SHORTPARTNUMBER
// and the connection's CrossIndex (built by the first search on a connection).
// The index is the caller's, kept with the connection.
class CrossSearch
{
public:
    // Distinct ignoring case and ascending ignoring case. An empty search
    // number finds nothing (it would list every cross number), and parts
    // without a cross number are passed over.
    static QStringList find(SQLite::Database& db, CrossIndex& index, const QString& searchNr);
    // Reads the connection's cross map ahead of the first search, which
    // would otherwise pay for it.
    static void prepare(SQLite::Database& db, CrossIndex& index);
};
