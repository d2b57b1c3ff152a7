#pragma once

#include "core/storage/FieldValue.h"

#include <cstddef>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// Appends records to a table through the C interface, several records per
// statement: per-statement work (opening the table, finding its end) then
// counts once for many records, and SQLiteCpp's checks around each of the
// sixteen calls per record are saved as well.
class BulkInsert
{
public:
    using Value = FieldValue;
    static constexpr size_t kRecordsPerStatement = 32;

    // Prepares "INSERT INTO table VALUES (...)" for columns values. Throws SQLite::Exception.
    BulkInsert(sqlite3* db, const char* table, size_t columns);

    // Inserts count records laid out back to back in values, in table column
    // order. Throws SQLite::Exception.
    void insert(const Value* values, size_t count);

private:
    using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

    Statement prepare(size_t records) const;
    void bind(sqlite3_stmt* statement, const Value* values, size_t count) const;
    void step(sqlite3_stmt* statement) const;

    sqlite3* m_db;
    const char* m_table;
    size_t m_columns;
    Statement m_many;
    Statement m_one;
};
