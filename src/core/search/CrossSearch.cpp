#include "CrossSearch.h"

#include "core/search/KeySpellings.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <optional>

namespace {

// Answered from the index on SHORTPARTNUMBER alone; the cross numbers come
// from the CrossIndex instead of one table row per part.
constexpr char kPartsOfPrefix[] =
    "SELECT rowid FROM PRICE WHERE SHORTPARTNUMBER >= ? AND SHORTPARTNUMBER < ?";

} // namespace

QStringList CrossSearch::find(SQLite::Database& db, CrossIndex& index, const QString& searchNr)
{
    if (searchNr.isEmpty())
        return {};
    // The cross index is checked and used in one read transaction, so no
    // commit by another program falls between; a caller's open transaction
    // does the same.
    std::optional<SQLite::Transaction> snapshot;
    if (sqlite3_get_autocommit(db.getHandle()))
        snapshot.emplace(db);
    index.refresh(db);
    std::vector<int64_t> rowIds;
    SQLite::Statement query(db, kPartsOfPrefix);
    for (const std::string& spelling : KeySpellings::find(db, "PRICE", "SHORTPARTNUMBER", searchNr)) {
        query.reset();
        query.bind(1, spelling);
        query.bind(2, KeySpellings::rangeEnd(spelling));
        while (query.executeStep())
            rowIds.push_back(query.getColumn(0).getInt64());
    }
    QStringList crosses = index.crossesOf(rowIds);
    if (snapshot)
        snapshot->commit();
    return crosses;
}

void CrossSearch::prepare(SQLite::Database& db, CrossIndex& index)
{
    SQLite::Transaction snapshot(db);
    index.refresh(db);
    snapshot.commit();
}
