#pragma once

#include "core/storage/PriceChangeStorage.h"

#include <QStringList>

#include <optional>
#include <vector>

// Every change the last update found, in the order they are listed: rises,
// falls, new parts, removed parts; rises and falls by the size of the change
// in percent, largest first (a rise from 0 last), then by PARTNUMBER in
// code-point order and GROUPCODE; new and removed parts by PARTNUMBER and
// GROUPCODE.
class PriceChangeList
{
public:
    struct Line : PriceChangeStorage::Line
    {
        std::optional<double> percent; // signed; rises and falls from a price other than 0
    };

    static std::vector<Line> read(PriceChangeStorage& storage);

    // Kind, PARTNUMBER, GROUPCODE, old and new price as "0.00" and the
    // percent as "+12.5": the texts tardesk-admin changes prints.
    static QStringList fields(const Line& line);
};
