#pragma once

#include "core/storage/SettingsStorage.h"

namespace SQLite {
class Database;
}

class Database;

// The settings record's row of SETTINGS in Tardesk.mdb, found by its rowid.
class SqliteSettingsStorage : public SettingsStorage
{
public:
    explicit SqliteSettingsStorage(Database& database);

    void checkColumns() override;
    std::optional<Values> readFirstRow() override;
    void write(const Values& values, const std::vector<bool>& modified) override;
    void writePriceDate(const QDate& date) override;

    // PRICE_DATE into the first row of SETTINGS on connection, starting that
    // row in an empty table; returns the row's rowid.
    static qint64 writePriceDate(SQLite::Database& connection, const QDate& date);

private:
    Database& m_database;
    qint64 m_rowId = -1; // -1: the table has no row
};
