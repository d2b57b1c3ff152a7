#pragma once

#include <QString>

#include <array>

// Every table of Tardesk.mdb and the statements that create it.
namespace Schema {

inline constexpr char kCreatePrice[] =
    "CREATE TABLE PRICE (GROUPCODE TEXT(15), PARTNUMBER TEXT(22), SHORTPARTNUMBER TEXT(22), PARTNAME "
    "TEXT(60), "
    "CROSSNUMBER TEXT(10), PRICE SINGLE, WH0 SHORT, WH1 SHORT, WH2 SHORT, WH3 SHORT, WH4 SHORT, WH5 SHORT, "
    "WH6 SHORT, WH7 SHORT, WH8 SHORT);";
inline constexpr char kCreatePriceShortPartNumberIndex[] =
    "CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER);";
inline constexpr char kCreatePriceCrossNumberIndex[] =
    "CREATE INDEX PRICE_CROSSNUMBER ON PRICE(CROSSNUMBER);";
inline constexpr char kCreateGroups[] =
    "CREATE TABLE GROUPS (GROUPCODE TEXT(15) NOT NULL PRIMARY KEY, GROUPNAME TEXT(60), DISCOUNT SHORT);";
inline constexpr char kDropPrice[] = "DROP TABLE PRICE;";
inline constexpr char kDropGroups[] = "DROP TABLE GROUPS;";

inline constexpr char kPriceTable[] = "PRICE";
inline constexpr char kGroupsTable[] = "GROUPS";
inline constexpr char kSettingsTable[] = "SETTINGS";

// The price list's columns in the order of the table.
inline constexpr std::array<const char*, 15> kPriceColumns = {"GROUPCODE", "PARTNUMBER",  "SHORTPARTNUMBER",
                                                              "PARTNAME",  "CROSSNUMBER", "PRICE",
                                                              "WH0",       "WH1",         "WH2",
                                                              "WH3",       "WH4",         "WH5",
                                                              "WH6",       "WH7",         "WH8"};
inline constexpr std::array<const char*, 3> kGroupsColumns = {"GROUPCODE", "GROUPNAME", "DISCOUNT"};

enum class FieldKind
{
    Text,
    Double,
    DateTime,
    Integer
};

struct SettingsColumn
{
    const char* name;
    FieldKind kind;
    int length;        // characters, for text columns
    const char* label; // display label; empty for the reserved columns
};

// SETTINGS is never created by the client itself, only by the installer
// tool; the client checks that these columns are there with these types.
inline constexpr std::array<SettingsColumn, 18> kSettingsColumns = {{
    {"CL_ID", FieldKind::Text, 5, "Код"},
    {"CL_NAME", FieldKind::Text, 50, "Клиент"},
    {"CL_ADDRESS", FieldKind::Text, 60, "Адрес"},
    {"CL_EMAIL", FieldKind::Text, 50, "Электронный адрес"},
    {"SUPP_NAME", FieldKind::Text, 50, "Поставщик"},
    {"SUPP_ADRES", FieldKind::Text, 60, "Адрес"},
    {"SUPP_PHONE", FieldKind::Text, 50, "Телефоны"},
    {"SUPP_EMAIL", FieldKind::Text, 50, "Электронный адрес"},
    {"RATE_USD", FieldKind::Double, 0, "Курс USD"},
    {"RATE_EURO", FieldKind::Double, 0, "Курс EUR"},
    {"PRICE_DATE", FieldKind::DateTime, 0, "Дата обновления"},
    {"STRING1", FieldKind::Text, 50, ""},
    {"STRING2", FieldKind::Text, 50, ""},
    {"STRING3", FieldKind::Text, 50, ""},
    {"INTEGER1", FieldKind::Integer, 0, ""},
    {"INTEGER2", FieldKind::Integer, 0, ""},
    {"NUMBER1", FieldKind::Double, 0, ""},
    {"NUMBER2", FieldKind::Double, 0, ""},
}};

// The declared type with which the installer tool creates a settings column.
QString declaredType(const SettingsColumn& column);
QString createSettingsStatement();

} // namespace Schema
