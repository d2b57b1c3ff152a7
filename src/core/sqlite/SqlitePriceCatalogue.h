#pragma once

#include "core/storage/PriceCatalogue.h"
#include "core/storage/Tables.h"

#include <memory>
#include <string>

class CrossIndex;
class Database;

namespace SQLite {
class Statement;
}

// The price list in Tardesk.mdb. Searches read only the connection's
// CrossIndex (built by the first search); elsewhere letter case is matched
// through the plain indexes by trying the spellings that occur
// (KeySpellings): part and cross numbers as CaseFolding does, group codes
// as UnicodeCaseFolding does.
class SqlitePriceCatalogue : public PriceCatalogue
{
public:
    SqlitePriceCatalogue(Database& database, CrossIndex& crossIndex);

    // A part's columns of PRICE as P, in PriceRow's order, as every query
    // of parts starts.
    static constexpr char kPartColumns[] =
        "P.GROUPCODE, P.PARTNUMBER, P.SHORTPARTNUMBER, P.PARTNAME, P.CROSSNUMBER, "
        "P.PRICE, P.WH0, P.WH1, P.WH2, P.WH3, P.WH4, P.WH5, P.WH6, P.WH7, P.WH8";
    static constexpr int kPartColumnCount = 6 + Tables::kWarehouseCount;
    // The part in the first columns of query; amounts are computed from the
    // decimal price the supplier wrote.
    static PriceRow readPart(SQLite::Statement& query);

    void prepare() override;
    QStringList crossesOf(const QString& searchNr) override;
    // Amounts are computed in double from the price as the decimal its
    // single-precision value stands for, whatever type the engine stored.
    std::vector<PriceRow> priceList(const QString& cross, const Rates& rates) override;
    std::vector<PriceRow> partsByNumber(const QString& partNumber, const QString& groupCode,
                                        const QString& shortPartNumber, Scope scope) override;
    void checkPriceTable() override;

    // Lets go of the statements kept prepared; before the connection closes.
    void releaseStatements();

private:
    // A statement prepared once per connection: an order reads parts one
    // by one.
    SQLite::Statement& prepared(std::unique_ptr<SQLite::Statement>& slot, const std::string& sql);

    Database& m_database;
    CrossIndex& m_crossIndex;
    std::unique_ptr<SQLite::Statement> m_partsOfShortNumber;
    std::unique_ptr<SQLite::Statement> m_discountOfGroup;
};
