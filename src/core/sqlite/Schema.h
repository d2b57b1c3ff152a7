#pragma once

#include "core/storage/Tables.h"

#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The SQLite statements of every table of Tardesk.mdb, built from the
// columns in Tables, each declared here once.
namespace Schema {

std::string createPriceStatement();
std::string createGroupsStatement();
inline constexpr char kPriceShortPartNumberIndex[] = "PRICE_SHORTPARTNUMBER";
inline constexpr char kPriceCrossNumberIndex[] = "PRICE_CROSSNUMBER";
inline constexpr char kCreatePriceShortPartNumberIndex[] =
    "CREATE INDEX PRICE_SHORTPARTNUMBER ON PRICE(SHORTPARTNUMBER);";
inline constexpr char kCreatePriceCrossNumberIndex[] =
    "CREATE INDEX PRICE_CROSSNUMBER ON PRICE(CROSSNUMBER);";

// The name index beside PRICE, made anew by every update in the same
// replacement of the file. Parts are numbered from 0 by their place in the
// order names are shown in. PART_NAME_WORDS holds every folded word of the
// names (NameWords::indexed) with the numbers of the parts whose names have
// it, ascending, each as the difference from the one before (the first
// from -1). PART_NAME_ORDER holds the PRICE rowids of the parts by their
// numbers, many to a row, FIRST being the number of the row's first part.
// Numbers go in 7-bit groups, low group first, the high bit set on all
// groups but the last. A typed word's matches are then one range of words.
inline constexpr char kNameWordsTable[] = "PART_NAME_WORDS";
inline constexpr char kNameOrderTable[] = "PART_NAME_ORDER";
inline constexpr char kCreateNameWords[] =
    "CREATE TABLE PART_NAME_WORDS (WORD TEXT NOT NULL PRIMARY KEY, PARTS BLOB NOT NULL) WITHOUT ROWID;";
inline constexpr char kCreateNameOrder[] =
    "CREATE TABLE PART_NAME_ORDER (FIRST INTEGER PRIMARY KEY, PARTS BLOB NOT NULL);";
inline constexpr char kInsertNameWord[] = "INSERT INTO PART_NAME_WORDS (WORD, PARTS) VALUES (?, ?);";
inline constexpr char kInsertNameOrder[] = "INSERT INTO PART_NAME_ORDER (FIRST, PARTS) VALUES (?, ?);";
inline constexpr char kSelectNameWords[] = "SELECT PARTS FROM PART_NAME_WORDS WHERE WORD >= ? AND WORD < ?;";
inline constexpr char kSelectNameOrder[] = "SELECT FIRST, PARTS FROM PART_NAME_ORDER ORDER BY FIRST;";

// statement with its first mention of the table or index name (a whole
// word) named prefix + name instead: an update builds the new tables
// beside the ones they replace.
std::string prefixed(std::string_view statement, std::string_view table, std::string_view prefix);

QString createSettingsStatement();
// The date of the last update, stamped into the first settings row.
inline constexpr char kUpdatePriceDate[] =
    "UPDATE SETTINGS SET PRICE_DATE=? WHERE rowid=(SELECT min(rowid) FROM SETTINGS)";
inline constexpr char kFirstSettingsRow[] = "SELECT min(rowid) FROM SETTINGS";
inline constexpr char kInsertPriceDate[] = "INSERT INTO SETTINGS (PRICE_DATE) VALUES (?)";

// What the last update changed in the price list: made anew by every
// update, in the same replacement of the file.
// ROW_ID is the rowid of the part's PRICE row; a removed part has none and
// is numbered -1, -2, ... with its number and group as the replaced list
// spelled them. Unchanged parts, and those that could not be told apart,
// have no row; nor has any part after a first update.
inline constexpr char kCreatePriceChanges[] =
    "CREATE TABLE PRICE_CHANGES (ROW_ID INTEGER PRIMARY KEY, KIND TEXT NOT NULL, OLD_PRICE REAL, "
    "GROUPCODE TEXT(15), PARTNUMBER TEXT(22), PARTNAME TEXT(60));";
inline constexpr size_t kPriceChangesColumnCount = 6; // filled in the statement's order
// The changes with the parts' texts and new prices, removed parts last; a
// table an earlier release made has no names of removed parts.
inline constexpr char kSelectPriceChanges[] =
    "SELECT C.KIND, P.PARTNUMBER, P.GROUPCODE, C.OLD_PRICE, P.PRICE, P.PARTNAME FROM PRICE_CHANGES C "
    "JOIN PRICE P ON P.rowid = C.ROW_ID WHERE C.ROW_ID > 0 UNION ALL "
    "SELECT KIND, PARTNUMBER, GROUPCODE, OLD_PRICE, NULL, %1 FROM PRICE_CHANGES WHERE ROW_ID < 0;";

// The clerk's order to the supplier, made at the first change of the order
// and carried over by every update.
// LINE_ID keeps the order in which the parts were first added.
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
