#pragma once

#include "core/storage/Tables.h"

#include <QString>

#include <array>
#include <vector>

class IniFile;

// Which optional columns of the price grid are shown, as the configuration
// file keeps them: for the view commands, and for tools that print what
// the grid would show.
struct ShownColumns
{
    bool usd = false;
    bool eur = false;
    std::array<bool, Tables::kWarehouseCount> warehouses{};

    static ShownColumns read(const IniFile& ini);
    // 0 ... 8, the warehouses shown.
    std::vector<int> warehouseList() const;

    static QString section() { return QStringLiteral("PRICE"); }
    static QString vhodKey() { return QStringLiteral("ShowVhod"); }
    static QString usdKey() { return QStringLiteral("ShowUS"); }
    static QString eurKey() { return QStringLiteral("ShowEU"); }
    static QString warehouseKey(int warehouse) { return QStringLiteral("ShowWH%1").arg(warehouse); }
};
