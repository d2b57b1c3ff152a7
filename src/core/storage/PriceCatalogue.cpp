#include "PriceCatalogue.h"

#include <algorithm>
#include <tuple>

std::vector<PriceRow> PriceCatalogue::inGridOrder(std::vector<Ranked> parts)
{
    std::stable_sort(parts.begin(), parts.end(), [](const Ranked& a, const Ranked& b) {
        return std::make_tuple(a.row.vhod.has_value(), a.row.vhod.value_or(0), a.place) <
               std::make_tuple(b.row.vhod.has_value(), b.row.vhod.value_or(0), b.place);
    });
    std::vector<PriceRow> rows;
    rows.reserve(parts.size());
    for (Ranked& part : parts)
        rows.push_back(std::move(part.row));
    return rows;
}
