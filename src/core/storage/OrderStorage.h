#pragma once

#include <QString>

#include <vector>

struct PriceRow;

// The order to the supplier as kept, one line per part. A part is its
// PARTNUMBER and GROUPCODE, both compared ignoring case. Every change is
// all or nothing; an order never changed reads as empty.
class OrderStorage
{
public:
    struct Line
    {
        qint64 id = 0;
        QString groupCode;
        QString partNumber;
        QString shortPartNumber;
        QString partName; // as the price list spelled it when the part was added
        int quantity = 0;
    };

    virtual ~OrderStorage() = default;

    // In the order in which the parts were first added.
    virtual std::vector<Line> lines() = 0;
    // Adds quantity to the part's line, or appends a line for it; the sum
    // must stay within the allowed quantities. Two clients adding at once
    // both keep their quantities. Returns the line's quantity now.
    virtual int add(const PriceRow& part, int quantity) = 0;
    // These fail when another client removed the line meanwhile.
    virtual void setQuantity(qint64 lineId, int quantity) = 0;
    virtual void remove(qint64 lineId) = 0;
    virtual void clear() = 0;
};
