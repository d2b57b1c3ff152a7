#pragma once

#include "core/storage/PriceChange.h"
#include "core/storage/Tables.h"

#include <QString>

#include <array>
#include <optional>

// One part of the price list with the amounts the clerk sees; a null value
// of the table or of the computation is left empty.
struct PriceRow
{
    QString groupCode;
    QString partNumber;
    QString shortPartNumber;
    QString partName;
    QString crossNumber;
    // As the decimal the stored single-precision value stands for.
    std::optional<double> price;
    std::array<std::optional<qint64>, Tables::kWarehouseCount> stock; // WH0 ... WH8
    std::optional<double> priceUsd;
    std::optional<double> priceEur;
    std::optional<double> vhod;
    // Against the list the last update replaced: up, down or new; nothing
    // when unchanged or when there is nothing to compare.
    std::optional<PriceChange::Kind> change;
    std::optional<double> oldPrice; // as stored, for up and down

    // What the warehouses hold together; empty when none has a figure.
    std::optional<qint64> stockTotal() const
    {
        std::optional<qint64> total;
        for (const auto& held : stock)
            if (held)
                total = total.value_or(0) + *held;
        return total;
    }

    // The input price: the retail price less the group's discount in percent.
    void applyDiscount(const std::optional<double>& discount)
    {
        vhod = price && discount ? std::optional<double>(*price * (100 - *discount) / 100) : std::nullopt;
    }
};
