#pragma once

#include "core/storage/CrossMap.h"
#include "core/storage/PriceCatalogue.h"

#include <QHash>

#include <optional>
#include <vector>

class PgConnection;

// The price list on the server. A search reads the ROW_NO of the parts it
// finds from one index and turns them into cross numbers through a map held
// here, built from the server once per list version; the groups' discounts
// are held likewise. Letter case is matched as the embedded file matches
// it: part and cross numbers through tardesk_fold(), as CaseFolding does,
// group codes here, as UnicodeCaseFolding does.
class PgPriceCatalogue : public PriceCatalogue
{
public:
    explicit PgPriceCatalogue(PgConnection& db);

    void prepare() override;
    QStringList crossesOf(const QString& searchNr) override;
    std::vector<PriceRow> priceList(const QString& cross, const Rates& rates) override;
    std::vector<PriceRow> partsByNumber(const QString& partNumber, const QString& groupCode,
                                        const QString& shortPartNumber, Scope scope) override;
    void checkPriceTable() override;

private:
    using Discounts = std::vector<std::optional<double>>;

    // Runs read, which answers nothing when what it read and what is held
    // here belong to different versions of the list; then once more in one
    // snapshot, where they cannot.
    template <typename Read> auto consistently(Read read);
    void buildMap();
    // Whether the groups held are those of the list's version, reading them
    // again when not.
    bool groupsOf(qint64 version);
    // The discount of every group whose code equals code ignoring case, in
    // code-point order of their codes.
    const Discounts& discountsOf(const QString& code) const;

    PgConnection& m_db;
    CrossMap m_map;
    qint64 m_mapVersion = -1;
    QHash<QString, Discounts> m_discounts; // by folded group code
    qint64 m_groupsVersion = -1;
};
