#pragma once

#include "core/storage/OrderStorage.h"

class Database;

namespace SQLite {
class Database;
}

// The order in its own table of Tardesk.mdb, ORDER_LINES, made by the first
// change, so a file without it has an empty order.
class SqliteOrderStorage : public OrderStorage
{
public:
    explicit SqliteOrderStorage(Database& database);

    std::vector<Line> lines() override;
    int add(const PriceRow& part, int quantity) override;
    void setQuantity(qint64 lineId, int quantity) override;
    void remove(qint64 lineId) override;
    void clear() override;

private:
    // Runs write on the connection; a failure says what was not done.
    template <typename Write> auto writing(const char* notDone, Write write);
    static int add(SQLite::Database& db, const PriceRow& part, int quantity);

    Database& m_database;
};
