#pragma once

#include "core/storage/PriceChangeStorage.h"

class Database;

// PRICE_CHANGES of Tardesk.mdb with the parts' texts and new prices.
class SqlitePriceChangeStorage : public PriceChangeStorage
{
public:
    explicit SqlitePriceChangeStorage(Database& database);

    std::vector<Line> read() override;

private:
    Database& m_database;
};
