#pragma once

#include <sqlite3.h>

#include <memory>
#include <string_view>

// Plain SQLite statements, for code that steps through millions of rows and
// reads or binds texts and blobs without a copy or an object per value.
namespace RawSql {

using Prepared = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Prepared prepare(sqlite3* db, const char* sql);
void insertRow(sqlite3* db, sqlite3_stmt* insert);
std::string_view text(sqlite3_stmt* query, int column);

} // namespace RawSql
