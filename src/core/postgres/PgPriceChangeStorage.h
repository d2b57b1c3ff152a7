#pragma once

#include "core/storage/PriceChangeStorage.h"

class PgConnection;

// PRICE_CHANGES on the server with the parts' texts and new prices.
class PgPriceChangeStorage : public PriceChangeStorage
{
public:
    explicit PgPriceChangeStorage(PgConnection& db);

    std::vector<Line> read() override;

private:
    PgConnection& m_db;
};
