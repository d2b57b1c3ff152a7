#include "ShownColumns.h"

#include "core/config/IniFile.h"

ShownColumns ShownColumns::read(const IniFile& ini)
{
    ShownColumns shown;
    shown.usd = ini.ReadBool(section(), usdKey(), false);
    shown.eur = ini.ReadBool(section(), eurKey(), false);
    for (size_t w = 0; w < shown.warehouses.size(); ++w)
        shown.warehouses[w] = ini.ReadBool(section(), warehouseKey(int(w)), false);
    return shown;
}

std::vector<int> ShownColumns::warehouseList() const
{
    std::vector<int> list;
    for (size_t w = 0; w < warehouses.size(); ++w)
        if (warehouses[w])
            list.push_back(int(w));
    return list;
}
