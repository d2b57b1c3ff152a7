#include "BulkInsert.h"

#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

#include <string>

BulkInsert::BulkInsert(sqlite3* db, const char* table, size_t columns)
    : m_db(db), m_table(table), m_columns(columns), m_many(prepare(kRecordsPerStatement)), m_one(prepare(1))
{}

BulkInsert::Statement BulkInsert::prepare(size_t records) const
{
    std::string sql = std::string("INSERT INTO ") + m_table + " VALUES ";
    for (size_t record = 0; record < records; ++record) {
        sql += record == 0 ? "(" : ",(";
        for (size_t column = 0; column < m_columns; ++column)
            sql += column == 0 ? "?" : ",?";
        sql += ')';
    }
    sqlite3_stmt* statement = nullptr;
    const int result = sqlite3_prepare_v2(m_db, sql.c_str(), int(sql.size()), &statement, nullptr);
    if (result != SQLITE_OK)
        throw SQLite::Exception(m_db, result);
    return Statement(statement, &sqlite3_finalize);
}

void BulkInsert::bind(sqlite3_stmt* statement, const Value* values, size_t count) const
{
    for (size_t i = 0; i < count; ++i) {
        const int index = int(i) + 1;
        int result = SQLITE_OK;
        if (const auto* integer = std::get_if<qint64>(&values[i]))
            result = sqlite3_bind_int64(statement, index, *integer);
        else if (const auto* real = std::get_if<double>(&values[i]))
            result = sqlite3_bind_double(statement, index, *real);
        else if (const auto* text = std::get_if<std::string>(&values[i]))
            // Stepped before insert() returns, while the text still lives.
            result = sqlite3_bind_text(statement, index, text->data(), int(text->size()), SQLITE_STATIC);
        else
            result = sqlite3_bind_null(statement, index);
        if (result != SQLITE_OK)
            throw SQLite::Exception(m_db, result);
    }
}

void BulkInsert::step(sqlite3_stmt* statement) const
{
    const int result = sqlite3_step(statement);
    if (result != SQLITE_DONE) {
        const SQLite::Exception error(m_db, result);
        sqlite3_reset(statement);
        throw error;
    }
    sqlite3_reset(statement);
}

void BulkInsert::insert(const Value* values, size_t count)
{
    for (; count >= kRecordsPerStatement; count -= kRecordsPerStatement) {
        bind(m_many.get(), values, kRecordsPerStatement * m_columns);
        step(m_many.get());
        values += kRecordsPerStatement * m_columns;
    }
    for (; count > 0; --count) {
        bind(m_one.get(), values, m_columns);
        step(m_one.get());
        values += m_columns;
    }
}
