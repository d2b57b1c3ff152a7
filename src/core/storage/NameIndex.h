#pragma once

#include "core/storage/PriceRow.h"

#include <QString>
#include <QStringList>

#include <vector>

// The parts of the price list found by the words of their names.
class NameIndex
{
public:
    struct Match
    {
        PriceRow part; // as kept: no amounts at rates, no input price, no change
        QString groupName;
    };
    struct Found
    {
        std::vector<Match> shown; // the first ones, in the order below
        qint64 total = 0;         // all that match
    };

    virtual ~NameIndex() = default;

    // A list made before names were indexed has no index until it is built.
    virtual bool isBuilt() = 0;
    // The parts in groups of the group list, as the grid shows them, each of
    // whose words of query (as NameWords::query gives them) begins some word
    // of the name: by NameWords::orderKey of the
    // name, then PARTNUMBER, then GROUPCODE in code-point order, then the
    // supplier file's order; at most limit of them shown (all when limit is
    // negative). Nothing for an empty query. Fails when not built.
    virtual Found find(const QStringList& query, qint64 limit) = 0;
};
