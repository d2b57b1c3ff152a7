#include "RawSql.h"

#include <SQLiteCpp/Exception.h>

namespace RawSql {

Prepared prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (const int result = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr))
        throw SQLite::Exception(db, result);
    return Prepared(statement, &sqlite3_finalize);
}

void insertRow(sqlite3* db, sqlite3_stmt* insert)
{
    if (const int result = sqlite3_step(insert); result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
    sqlite3_reset(insert);
}

std::string_view text(sqlite3_stmt* query, int column)
{
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return std::string_view(value ? value : "", size_t(sqlite3_column_bytes(query, column)));
}

} // namespace RawSql
