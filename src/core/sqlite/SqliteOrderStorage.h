#pragma once

#include "core/storage/OrderStorage.h"

class Database;

// The order in its own table of Tardesk.mdb, ORDER_LINES, made by the first
// change, so a file without it has an empty order.
class SqliteOrderStorage : public OrderStorage
{
public:
    explicit SqliteOrderStorage(Database& database);

    std::vector<Line> lines() override;
    void add(const PriceRow& part, int quantity) override;
    void setQuantity(qint64 lineId, int quantity) override;
    void remove(qint64 lineId) override;
    void clear() override;

private:
    Database& m_database;
};
