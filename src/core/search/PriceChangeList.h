#pragma once

#include "core/db/PriceChange.h"

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

// Every change the last update found, in the order they are listed: rises,
// falls, new parts, removed parts; rises and falls by the size of the change
// in percent, largest first (a rise from 0 last), then by PARTNUMBER in
// code-point order and GROUPCODE; new and removed parts by PARTNUMBER and
// GROUPCODE.
class PriceChangeList
{
public:
    struct Line
    {
        PriceChange::Kind kind;
        std::string partNumber; // UTF-8, whose byte order is code-point order
        std::string groupCode;
        std::optional<double> oldPrice; // as stored
        std::optional<double> newPrice;
        std::optional<double> percent; // signed; rises and falls from a price other than 0
    };

    // Nothing for a file that no update has written the changes into.
    static std::vector<Line> read(SQLite::Database& db);

    // Kind, PARTNUMBER, GROUPCODE, old and new price as "0.00" and the
    // percent as "+12.5": the texts tardesk-admin changes prints.
    static QStringList fields(const Line& line);
};
