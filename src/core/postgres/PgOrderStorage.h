#pragma once

#include "core/storage/OrderStorage.h"

class PgConnection;

// The shop's one order in ORDER_LINES on the server, shared by its counters.
class PgOrderStorage : public OrderStorage
{
public:
    explicit PgOrderStorage(PgConnection& db);

    std::vector<Line> lines() override;
    int add(const PriceRow& part, int quantity) override;
    void setQuantity(qint64 lineId, int quantity) override;
    void remove(qint64 lineId) override;
    void clear() override;

private:
    // Runs write; a failure the server reports says what was not done.
    template <typename Write> auto writing(const char* notDone, Write write);

    PgConnection& m_db;
};
