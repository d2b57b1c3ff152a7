#pragma once

#include "core/storage/NameIndex.h"
#include "core/storage/PriceListRebuild.h"

#include <QStringList>

#include <string>

class Database;

namespace SQLite {
class Database;
}

// The name index kept in Tardesk.mdb beside PRICE (Schema's
// PART_NAME_WORDS and PART_NAME_ORDER): an FTS5 table of the folded words
// of each name, numbered by the part's place in the order of names, so that
// the first matches are the first rows FTS5 gives.
class SqliteNameIndex : public NameIndex
{
public:
    explicit SqliteNameIndex(Database& database);

    bool isBuilt() override;
    Found find(const QStringList& query, qint64 limit) override;

    // Every table the index is kept in, FTS5's own included: what a new
    // list replaces along with PRICE.
    static QStringList tables();
    // Whether db's main schema holds the index.
    static bool exists(SQLite::Database& db);
    // Indexes the names of PRICE in db's main schema, which has no index
    // yet, inside the caller's transaction; listener is told of the parts
    // done and may stop the work.
    static void build(SQLite::Database& db, const PriceListRebuild::Listener& listener);
    // The FTS5 expression asking for names with a word beginning with each
    // word of query.
    static std::string matchExpression(const QStringList& query);

private:
    Database& m_database;
};
