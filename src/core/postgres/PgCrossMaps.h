#pragma once

#include "core/storage/CrossMap.h"
#include "core/storage/PrefixIndex.h"

#include <QtGlobal>

#include <memory>
#include <string>
#include <string_view>

class PgConnection;

// What a search of one version of the list reads on the client: the cross
// id of every part with a cross number, by its short number folded as
// tardesk_fold() folds it. Built from the list's rows, which takes seconds
// on millions of parts; so the update, which has every part in hand,
// builds it too and keeps it on the server as CROSS_MAP, which a counter
// reads in a fraction of that.
class PgCrossMaps
{
public:
    CrossMap crosses;
    PrefixIndex shortNumbers;

    // A part of the list, as the server keeps it; parts without a cross
    // number are left out.
    void add(std::string_view crossNumber, std::string_view shortPartNumber);
    // Once every part is added.
    void finish();

    // Makes the table under the name given and writes the maps there.
    void store(PgConnection& db, const std::string& table) const;
    // Turns CROSS_MAP_NEW into CROSS_MAP of the list's version: for the
    // end of the transaction that swaps the list in, after the version is
    // raised.
    static constexpr char kSwapStatement[] =
        "DROP TABLE IF EXISTS CROSS_MAP; ALTER TABLE CROSS_MAP_NEW RENAME TO CROSS_MAP; "
        "UPDATE CROSS_MAP SET LIST_VERSION = (SELECT VERSION FROM TARDESK_LIST)";
    // The maps CROSS_MAP keeps for the list's version, read in the caller's
    // snapshot of the list; none when it keeps none of that version (a
    // shop not updated since, or a list changed otherwise than by an
    // update) or what it keeps is not a map this program reads.
    static std::unique_ptr<PgCrossMaps> stored(PgConnection& db, qint64 version);

private:
    std::string m_key;
};
