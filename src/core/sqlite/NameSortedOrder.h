#pragma once

#include <string_view>

class NameIndexWriter;

namespace SQLite {
class Database;
}

// Orders the parts by SQLite's sorter, for lists whose different names are
// too many to keep: the parts of one key still come together, so each
// key's words are read about once.
class NameSortedOrder
{
public:
    // Gives writer every part of PRICE (of prefix) in the order of names.
    static void write(SQLite::Database& database, std::string_view prefix, NameIndexWriter& writer);
};
