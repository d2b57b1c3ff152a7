#include "PriceChangeList.h"

#include "core/text/Money.h"
#include "core/text/RegionalFormats.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

QString money(const std::optional<double>& stored)
{
    return stored ? RegionalFormats::formatMoney(Money::fromSingle(*stored)) : QString();
}

} // namespace

std::vector<PriceChangeList::Line> PriceChangeList::read(PriceChangeStorage& storage)
{
    std::vector<Line> lines;
    for (PriceChangeStorage::Line& stored : storage.read()) {
        Line line{std::move(stored), std::nullopt};
        if (line.kind == PriceChange::Kind::Up || line.kind == PriceChange::Kind::Down)
            line.percent = PriceChange::percent(line.oldPrice, line.newPrice);
        lines.push_back(std::move(line));
    }
    // The size of the change first; -1 puts a rise from 0, and the kinds without a percent, last.
    const auto size = [](const Line& line) { return line.percent ? std::fabs(*line.percent) : -1.0; };
    std::sort(lines.begin(), lines.end(), [&size](const Line& a, const Line& b) {
        return std::make_tuple(int(a.kind), -size(a), std::cref(a.partNumber), std::cref(a.groupCode)) <
               std::make_tuple(int(b.kind), -size(b), std::cref(b.partNumber), std::cref(b.groupCode));
    });
    return lines;
}

QStringList PriceChangeList::fields(const Line& line)
{
    return {PriceChange::name(line.kind),
            QString::fromStdString(line.partNumber),
            QString::fromStdString(line.groupCode),
            money(line.oldPrice),
            money(line.newPrice),
            PriceChange::percentText(line.kind, line.oldPrice, line.newPrice,
                                     RegionalFormats::decimalSeparator())};
}
