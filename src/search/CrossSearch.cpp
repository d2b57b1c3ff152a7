#include "CrossSearch.h"

#include "search/CaseFolding.h"
#include "search/CrossIndex.h"
#include "search/KeySpellings.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <QHash>

#include <algorithm>
#include <optional>

namespace {

// Answered from the index on SHORTPARTNUMBER alone; the cross numbers come
// from the connection's CrossIndex instead of one table row per part.
constexpr char kPartsOfPrefix[] =
    "SELECT rowid FROM PRICE WHERE SHORTPARTNUMBER >= ? AND SHORTPARTNUMBER < ?";

} // namespace

QStringList CrossSearch::find(SQLite::Database& db, const QString& searchNr)
{
    if (searchNr.isEmpty())
        return {};
    // The cross index is checked and used in one read transaction, so no
    // commit by another program falls between; a caller's open transaction
    // does the same.
    std::optional<SQLite::Transaction> snapshot;
    if (sqlite3_get_autocommit(db.getHandle()))
        snapshot.emplace(db);
    CrossIndex& index = CrossIndex::of(db);
    std::vector<int64_t> rowIds;
    SQLite::Statement query(db, kPartsOfPrefix);
    for (const std::string& spelling : KeySpellings::find(db, "PRICE", "SHORTPARTNUMBER", searchNr)) {
        query.reset();
        query.bind(1, spelling);
        query.bind(2, KeySpellings::rangeEnd(spelling));
        while (query.executeStep())
            rowIds.push_back(query.getColumn(0).getInt64());
    }
    const std::vector<QString> found = index.distinctCrosses(rowIds);
    if (snapshot)
        snapshot->commit();

    // One line per cross number however its parts spell it; the spelling
    // kept is the first in binary order, so the list does not depend on
    // which part the engine reads first.
    QHash<QString, QString> byFolded;
    for (const QString& cross : found) {
        QString& kept = byFolded[CaseFolding::upper(cross)];
        if (kept.isEmpty() || cross < kept)
            kept = cross;
    }
    QStringList crosses(byFolded.cbegin(), byFolded.cend());
    std::sort(crosses.begin(), crosses.end(),
              [](const QString& a, const QString& b) { return CaseFolding::less(a, b); });
    return crosses;
}
