#pragma once

#include "core/postgres/PgCrossMaps.h"
#include "core/storage/PriceCatalogue.h"

#include <QHash>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class PgConnection;
class PgResult;
class PgTransaction;

// A read-only snapshot of the list: its tables are locked for reading
// before the snapshot is taken (LOCK takes none), so a swap that commits
// meanwhile is waited for and seen whole, never one list's version beside
// the other's tables; the swap in turn waits for it to end. Inside a
// transaction already open it joins that one.
class PgListSnapshot
{
public:
    explicit PgListSnapshot(PgConnection& db);
    ~PgListSnapshot();
    PgListSnapshot(const PgListSnapshot&) = delete;
    PgListSnapshot& operator=(const PgListSnapshot&) = delete;

    void commit();

private:
    std::unique_ptr<PgTransaction> m_transaction;
};

// The price list on the server. A search finds the ROW_NO of the parts by
// their folded short numbers and turns them into cross numbers through maps
// held here, built from the server once per list version, and asks the
// server only whether the version is still the list's; the groups'
// discounts are held likewise. Letter case is matched as the embedded file matches
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

    // From now on the map of a new list is built elsewhere and handed over
    // through adoptMap(); until then a search of that list is answered
    // through the server rather than wait for it.
    void setMapsInBackground(bool inBackground) { m_mapsInBackground = inBackground; }
    // The version the map held is of; -1 before the first.
    qint64 mapVersion() const;
    using Maps = PgCrossMaps;
    // Holds maps from now on, unless the ones held are of a later version.
    void adoptMap(std::unique_ptr<Maps> maps, qint64 version);
    // The maps of the list as it is now, with its version: those the update
    // kept for it, else built from its rows.
    static std::unique_ptr<Maps> readMap(PgConnection& db, qint64* version);
    // The part in the first columns of row, in PriceRow's order; amounts
    // are computed from the decimal price the supplier wrote.
    static PriceRow readPart(const PgResult& result, int row);

private:
    using Discounts = std::vector<std::optional<double>>;

    // Runs read, which answers nothing when what it read and what is held
    // here belong to different versions of the list; then once more in one
    // snapshot, where they cannot.
    template <typename Read> auto consistently(Read read);
    // With m_mapMutex held.
    void buildMap();
    // The cross numbers of the parts whose folded short number matches
    // pattern, read from the list's version on the server; none when it
    // is not the version given.
    std::optional<QStringList> crossesOnServer(const QString& pattern, qint64 version);
    // Whether the groups held are those of the list's version, reading them
    // again when not.
    bool groupsOf(qint64 version);
    // The discount of every group whose code equals code ignoring case, in
    // code-point order of their codes.
    const Discounts& discountsOf(const QString& code) const;

    PgConnection& m_db;
    mutable std::mutex m_mapMutex;
    std::unique_ptr<Maps> m_map;
    qint64 m_mapVersion = -1;
    std::atomic<bool> m_mapsInBackground{false};
    QHash<QString, Discounts> m_discounts; // by folded group code
    qint64 m_groupsVersion = -1;
};
