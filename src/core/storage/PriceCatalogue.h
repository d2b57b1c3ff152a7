#pragma once

#include "core/storage/PriceRow.h"

#include <QString>
#include <QStringList>

#include <vector>

// The price list as the search reads it, whatever keeps it.
class PriceCatalogue
{
public:
    // Hryvnia per dollar and per euro; 0 leaves the column empty.
    struct Rates
    {
        double usd = 0;
        double eur = 0;
    };

    virtual ~PriceCatalogue() = default;

    // Builds what the first search would otherwise wait for.
    virtual void prepare() = 0;
    // The cross numbers of every part whose SHORTPARTNUMBER begins with
    // searchNr ignoring case: distinct and ascending ignoring case, parts
    // without a cross number passed over; nothing for an empty searchNr.
    virtual QStringList crossesOf(const QString& searchNr) = 0;
    // Every part of the cross number (matched ignoring case) whose group
    // exists, once per matching group, with the amounts at rates, cheapest
    // input price first (empty ones first); equal ones in the list's order.
    virtual std::vector<PriceRow> priceList(const QString& cross, const Rates& rates) = 0;
    // Where partsByNumber looks: by the short form only, or, when that
    // finds nothing, through the whole list too (for a short form the
    // supplier wrote otherwise than the search would).
    enum class Scope
    {
        ShortNumber,
        WholeList
    };
    // The parts whose PARTNUMBER equals partNumber ignoring case (as group
    // codes compare), in groups that exist, with their input price; an
    // empty groupCode matches every group. shortPartNumber is the part's
    // short form as stored or typed.
    virtual std::vector<PriceRow> partsByNumber(const QString& partNumber, const QString& groupCode,
                                                const QString& shortPartNumber, Scope scope) = 0;
    // Fails with the engine's message when there is no price list to replace.
    virtual void checkPriceTable() = 0;

protected:
    // A part of a price list and its place in the supplier's file.
    struct Ranked
    {
        PriceRow row;
        qint64 place;
    };
    // The grid's order: empty input prices first (as the embedded engine
    // sorts nulls), then the cheapest; equal ones in the file's order.
    static std::vector<PriceRow> inGridOrder(std::vector<Ranked> parts);
};
