#pragma once

#include "core/storage/PriceChange.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// What the last update found changed, as kept beside the price list.
class PriceChangeStorage
{
public:
    struct Line
    {
        PriceChange::Kind kind;
        std::string partNumber; // UTF-8, whose byte order is code-point order
        std::string groupCode;
        std::optional<double> oldPrice; // as stored
        std::optional<double> newPrice;
        QString partName;
    };

    virtual ~PriceChangeStorage() = default;

    // In no particular order; nothing when no update has stored any.
    virtual std::vector<Line> read() = 0;
};
