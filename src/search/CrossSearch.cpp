#include "CrossSearch.h"

#include "search/CaseFolding.h"
#include "search/KeySpellings.h"

#include <SQLiteCpp/Statement.h>

#include <QHash>

#include <algorithm>

namespace {

// The rows are read in rowid order, which visits the table's pages in file
// order instead of jumping about as the index order would.
constexpr char kCrossNumbersOfPrefix[] = R"(SELECT DISTINCT CROSSNUMBER FROM PRICE
WHERE rowid IN (SELECT rowid FROM PRICE WHERE SHORTPARTNUMBER >= ? AND SHORTPARTNUMBER < ?)
AND CROSSNUMBER <> '')";

} // namespace

QStringList CrossSearch::find(SQLite::Database& db, const QString& searchNr)
{
    if (searchNr.isEmpty())
        return {};
    // One line per cross number however its parts spell it; the spelling
    // kept is the first in binary order, so the list does not depend on
    // which part the engine reads first.
    QHash<QString, QString> byFolded;
    SQLite::Statement query(db, kCrossNumbersOfPrefix);
    for (const std::string& spelling : KeySpellings::find(db, "PRICE", "SHORTPARTNUMBER", searchNr)) {
        query.reset();
        query.bind(1, spelling);
        query.bind(2, KeySpellings::rangeEnd(spelling));
        while (query.executeStep()) {
            const QString cross = QString::fromUtf8(query.getColumn(0).getText());
            QString& kept = byFolded[CaseFolding::upper(cross)];
            if (kept.isEmpty() || cross < kept)
                kept = cross;
        }
    }
    QStringList crosses(byFolded.cbegin(), byFolded.cend());
    std::sort(crosses.begin(), crosses.end(),
              [](const QString& a, const QString& b) { return CaseFolding::less(a, b); });
    return crosses;
}
