#pragma once

#include "core/storage/TableColumn.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string_view>

// The tables every storage keeps, by name, and their columns in table
// order; each engine declares its statements from these.
namespace Tables {

inline constexpr char kPriceTable[] = "PRICE";
inline constexpr char kGroupsTable[] = "GROUPS";

// The price list's columns in the order of the table.
inline constexpr std::array<TableColumn, 15> kPriceColumns = {{
    {"GROUPCODE", TableColumn::Text, 15},
    {"PARTNUMBER", TableColumn::Text, 22},
    {"SHORTPARTNUMBER", TableColumn::Text, 22},
    {"PARTNAME", TableColumn::Text, 60},
    {"CROSSNUMBER", TableColumn::Text, 10},
    {"PRICE", TableColumn::Single, 0},
    {"WH0", TableColumn::Short, 0},
    {"WH1", TableColumn::Short, 0},
    {"WH2", TableColumn::Short, 0},
    {"WH3", TableColumn::Short, 0},
    {"WH4", TableColumn::Short, 0},
    {"WH5", TableColumn::Short, 0},
    {"WH6", TableColumn::Short, 0},
    {"WH7", TableColumn::Short, 0},
    {"WH8", TableColumn::Short, 0},
}};
// The place of a column of PRICE in kPriceColumns; past them for no such column.
constexpr size_t priceColumn(std::string_view name)
{
    size_t column = 0;
    while (column < kPriceColumns.size() && kPriceColumns[column].name != name)
        ++column;
    return column;
}
// The first column, GROUPCODE, is the key.
inline constexpr std::array<TableColumn, 3> kGroupsColumns = {{
    {"GROUPCODE", TableColumn::Text, 15},
    {"GROUPNAME", TableColumn::Text, 60},
    {"DISCOUNT", TableColumn::Short, 0},
}};

enum class FieldKind
{
    Text,
    Double,
    DateTime,
    Integer
};

// The columns of SETTINGS, in the order of kSettingsColumns.
enum class SettingsField
{
    CL_ID,
    CL_NAME,
    CL_ADDRESS,
    CL_EMAIL,
    SUPP_NAME,
    SUPP_ADRES,
    SUPP_PHONE,
    SUPP_EMAIL,
    RATE_USD,
    RATE_EURO,
    PRICE_DATE,
    STRING1,
    STRING2,
    STRING3,
    INTEGER1,
    INTEGER2,
    NUMBER1,
    NUMBER2
};

struct SettingsColumn
{
    SettingsField field;
    const char* name;
    FieldKind kind;
    int length;        // characters, for text columns
    const char* label; // display label; empty for the reserved columns
};

// SETTINGS is never created by the client itself, only by the installer
// tool; the client checks that these columns are there with these types.
inline constexpr std::array<SettingsColumn, 18> kSettingsColumns = {{
    {SettingsField::CL_ID, "CL_ID", FieldKind::Text, 5, QT_TRANSLATE_NOOP("Tables", "Код")},
    {SettingsField::CL_NAME, "CL_NAME", FieldKind::Text, 50, QT_TRANSLATE_NOOP("Tables", "Клиент")},
    {SettingsField::CL_ADDRESS, "CL_ADDRESS", FieldKind::Text, 60, QT_TRANSLATE_NOOP("Tables", "Адрес")},
    {SettingsField::CL_EMAIL, "CL_EMAIL", FieldKind::Text, 50,
     QT_TRANSLATE_NOOP("Tables", "Электронный адрес")},
    {SettingsField::SUPP_NAME, "SUPP_NAME", FieldKind::Text, 50, QT_TRANSLATE_NOOP("Tables", "Поставщик")},
    {SettingsField::SUPP_ADRES, "SUPP_ADRES", FieldKind::Text, 60, QT_TRANSLATE_NOOP("Tables", "Адрес")},
    {SettingsField::SUPP_PHONE, "SUPP_PHONE", FieldKind::Text, 50, QT_TRANSLATE_NOOP("Tables", "Телефоны")},
    {SettingsField::SUPP_EMAIL, "SUPP_EMAIL", FieldKind::Text, 50,
     QT_TRANSLATE_NOOP("Tables", "Электронный адрес")},
    {SettingsField::RATE_USD, "RATE_USD", FieldKind::Double, 0, QT_TRANSLATE_NOOP("Tables", "Курс USD")},
    {SettingsField::RATE_EURO, "RATE_EURO", FieldKind::Double, 0, QT_TRANSLATE_NOOP("Tables", "Курс EUR")},
    {SettingsField::PRICE_DATE, "PRICE_DATE", FieldKind::DateTime, 0,
     QT_TRANSLATE_NOOP("Tables", "Дата обновления")},
    {SettingsField::STRING1, "STRING1", FieldKind::Text, 50, ""},
    {SettingsField::STRING2, "STRING2", FieldKind::Text, 50, ""},
    {SettingsField::STRING3, "STRING3", FieldKind::Text, 50, ""},
    {SettingsField::INTEGER1, "INTEGER1", FieldKind::Integer, 0, ""},
    {SettingsField::INTEGER2, "INTEGER2", FieldKind::Integer, 0, ""},
    {SettingsField::NUMBER1, "NUMBER1", FieldKind::Double, 0, ""},
    {SettingsField::NUMBER2, "NUMBER2", FieldKind::Double, 0, ""},
}};

constexpr bool settingsColumnsInFieldOrder()
{
    for (size_t i = 0; i < kSettingsColumns.size(); ++i)
        if (size_t(kSettingsColumns[i].field) != i)
            return false;
    return true;
}
static_assert(settingsColumnsInFieldOrder());

constexpr const SettingsColumn& settingsColumn(SettingsField field)
{
    return kSettingsColumns[size_t(field)];
}

inline constexpr char kSettingsTable[] = "SETTINGS";
inline constexpr char kPriceChangesTable[] = "PRICE_CHANGES";
inline constexpr char kOrderTable[] = "ORDER_LINES";

// The stock columns WH0 ... WH8.
inline constexpr int kWarehouseCount = 9;

} // namespace Tables
