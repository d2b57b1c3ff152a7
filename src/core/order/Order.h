#pragma once

#include "core/storage/PriceRow.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The order priced from the current price list. A part that the list no
// longer holds stays, withdrawn, under the spellings stored when it was
// added, without a price and outside both totals.
class OrderStorage;
class PriceCatalogue;
class Storage;

class Order
{
public:
    struct Line
    {
        qint64 id = 0;
        QString partNumber; // as the current list spells it
        QString groupCode;
        QString partName;
        int quantity = 0;
        bool withdrawn = false;
        // The input price as the grid shows it, and that times the quantity;
        // empty when withdrawn or without a price.
        std::optional<qint64> priceCents;
        std::optional<qint64> sumCents;
        std::array<std::optional<qint64>, Tables::kWarehouseCount> stock;
    };

    // Reads the stored order in one snapshot of storage.
    static Order read(Storage& storage);

    const std::vector<Line>& lines() const { return m_lines; }
    int totalQuantity() const { return m_totalQuantity; }
    qint64 totalCents() const { return m_totalCents; }

    // An amount in kopecks exactly as "0.00" shows it, so that sums add up
    // to what the clerk reads.
    static qint64 centsAsShown(double amount);
    static QString moneyText(qint64 cents, QChar decimalSeparator);

private:
    void readLines(OrderStorage& stored, PriceCatalogue& catalogue);

    std::vector<Line> m_lines;
    int m_totalQuantity = 0;
    qint64 m_totalCents = 0;
};
