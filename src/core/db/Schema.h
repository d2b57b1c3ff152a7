#pragma once

#include "core/db/TableColumn.h"

#include <QString>

#include <array>
#include <cstddef>
#include <string>

// Every table of Tardesk.mdb: its name, its columns and the statements that
// create it, each declared here once.
namespace Schema {

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
// The first column, GROUPCODE, is the key.
inline constexpr std::array<TableColumn, 3> kGroupsColumns = {{
    {"GROUPCODE", TableColumn::Text, 15},
    {"GROUPNAME", TableColumn::Text, 60},
    {"DISCOUNT", TableColumn::Short, 0},
}};

std::string createPriceStatement();
std::string createGroupsStatement();
inline constexpr char kCreatePriceShortPartNumberIndex[] =
    "CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER);";
inline constexpr char kCreatePriceCrossNumberIndex[] =
    "CREATE INDEX PRICE_CROSSNUMBER ON PRICE(CROSSNUMBER);";

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
    {SettingsField::CL_ID, "CL_ID", FieldKind::Text, 5, "Код"},
    {SettingsField::CL_NAME, "CL_NAME", FieldKind::Text, 50, "Клиент"},
    {SettingsField::CL_ADDRESS, "CL_ADDRESS", FieldKind::Text, 60, "Адрес"},
    {SettingsField::CL_EMAIL, "CL_EMAIL", FieldKind::Text, 50, "Электронный адрес"},
    {SettingsField::SUPP_NAME, "SUPP_NAME", FieldKind::Text, 50, "Поставщик"},
    {SettingsField::SUPP_ADRES, "SUPP_ADRES", FieldKind::Text, 60, "Адрес"},
    {SettingsField::SUPP_PHONE, "SUPP_PHONE", FieldKind::Text, 50, "Телефоны"},
    {SettingsField::SUPP_EMAIL, "SUPP_EMAIL", FieldKind::Text, 50, "Электронный адрес"},
    {SettingsField::RATE_USD, "RATE_USD", FieldKind::Double, 0, "Курс USD"},
    {SettingsField::RATE_EURO, "RATE_EURO", FieldKind::Double, 0, "Курс EUR"},
    {SettingsField::PRICE_DATE, "PRICE_DATE", FieldKind::DateTime, 0, "Дата обновления"},
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

QString createSettingsStatement();
// The date of the last update, stamped into the first settings row.
inline constexpr char kUpdatePriceDate[] =
    "UPDATE SETTINGS SET PRICE_DATE=? WHERE rowid=(SELECT min(rowid) FROM SETTINGS)";
inline constexpr char kFirstSettingsRow[] = "SELECT min(rowid) FROM SETTINGS";
inline constexpr char kInsertPriceDate[] = "INSERT INTO SETTINGS (PRICE_DATE) VALUES (?)";

// What the last update changed in the price list, beside the specified
// tables: made anew by every update, in the same replacement of the file.
// ROW_ID is the rowid of the part's PRICE row; a removed part has none and
// is numbered -1, -2, ... with its number and group as the replaced list
// spelled them. Unchanged parts, and those that could not be told apart,
// have no row; nor has any part after a first update.
inline constexpr char kPriceChangesTable[] = "PRICE_CHANGES";
inline constexpr char kCreatePriceChanges[] =
    "CREATE TABLE PRICE_CHANGES (ROW_ID INTEGER PRIMARY KEY, KIND TEXT NOT NULL, OLD_PRICE REAL, "
    "GROUPCODE TEXT(15), PARTNUMBER TEXT(22));";
inline constexpr size_t kPriceChangesColumnCount = 5; // filled in the statement's order
// The changes with the parts' texts and new prices, removed parts last.
inline constexpr char kSelectPriceChanges[] =
    "SELECT C.KIND, P.PARTNUMBER, P.GROUPCODE, C.OLD_PRICE, P.PRICE FROM PRICE_CHANGES C "
    "JOIN PRICE P ON P.rowid = C.ROW_ID WHERE C.ROW_ID > 0 UNION ALL "
    "SELECT KIND, PARTNUMBER, GROUPCODE, OLD_PRICE, NULL FROM PRICE_CHANGES WHERE ROW_ID < 0;";

// The clerk's order to the supplier: a table beside the specified ones,
// made at the first change of the order and carried over by every update.
// LINE_ID keeps the order in which the parts were first added.
inline constexpr char kOrderTable[] = "ORDER_LINES";
inline constexpr char kCreateOrder[] =
    "CREATE TABLE IF NOT EXISTS ORDER_LINES (LINE_ID INTEGER PRIMARY KEY, GROUPCODE TEXT(15) NOT NULL, "
    "PARTNUMBER TEXT(22) NOT NULL, SHORTPARTNUMBER TEXT(22), PARTNAME TEXT(60), "
    "QUANTITY INTEGER NOT NULL CHECK (QUANTITY BETWEEN 1 AND 9999));";
inline constexpr char kSelectOrderLines[] = "SELECT LINE_ID, GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, "
                                            "PARTNAME, QUANTITY FROM ORDER_LINES ORDER BY LINE_ID;";
inline constexpr char kInsertOrderLine[] = "INSERT INTO ORDER_LINES (GROUPCODE, PARTNUMBER, SHORTPARTNUMBER, "
                                           "PARTNAME, QUANTITY) VALUES (?, ?, ?, ?, ?);";
inline constexpr char kUpdateOrderQuantity[] = "UPDATE ORDER_LINES SET QUANTITY = ? WHERE LINE_ID = ?;";
inline constexpr char kDeleteOrderLine[] = "DELETE FROM ORDER_LINES WHERE LINE_ID = ?;";
inline constexpr char kDeleteOrderLines[] = "DELETE FROM ORDER_LINES;";

} // namespace Schema
