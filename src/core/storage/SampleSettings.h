#pragma once

#include "core/storage/Tables.h"

#include <array>
#include <variant>

namespace Tables {

struct SampleSetting
{
    SettingsField field;
    std::variant<const char*, double> value;
};

// The settings row of a new shop: a sample client and supplier, so the new
// program shows sensible values.
inline const std::array<SampleSetting, 10> kSampleSettings = {{
    {SettingsField::CL_ID, "00017"},
    {SettingsField::CL_NAME, "ООО «Автомаркет Запад»"},
    {SettingsField::CL_ADDRESS, "г. Львов, ул. Городоцкая, 174"},
    {SettingsField::CL_EMAIL, "zakaz@avtomarket-zapad.com.ua"},
    {SettingsField::SUPP_NAME, "ООО «Вельмора Трейд»"},
    {SettingsField::SUPP_ADRES, "г. Киев, ул. Магнитогорская, 1"},
    {SettingsField::SUPP_PHONE, "(044) 501-23-45, факс (044) 501-23-46"},
    {SettingsField::SUPP_EMAIL, "price@velmora.ua"},
    {SettingsField::RATE_USD, 41.25},
    {SettingsField::RATE_EURO, 48.10},
}};

} // namespace Tables
