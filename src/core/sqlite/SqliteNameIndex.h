#pragma once

#include "core/storage/NameIndex.h"
#include "core/storage/PriceListRebuild.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

class Database;

namespace SQLite {
class Database;
}

// The name index kept in Tardesk.mdb beside PRICE (Schema's
// PART_NAME_WORDS and PART_NAME_ORDER). A typed word reads the range of
// words it begins, each with the parts that have it numbered in the order
// of names; the parts of every typed word meet in a set of one bit a part,
// which gives the count and, in order, the first ones to read from PRICE.
class SqliteNameIndex : public NameIndex
{
public:
    explicit SqliteNameIndex(Database& database);

    bool isBuilt() override;
    Found find(const QStringList& query, qint64 limit) override;

    // Every table the index is kept in: what a new list replaces along with PRICE.
    static QStringList tables();
    // Whether db's main schema holds the index.
    static bool exists(SQLite::Database& db);
    // Indexes the names of PRICE in db's main schema, which has no index
    // yet, inside the caller's transaction; listener is told of the parts
    // done and may stop the work. With a prefix, the list is read from and
    // the index written to the tables of that prefix and the same names.
    static void build(SQLite::Database& db, const PriceListRebuild::Listener& listener,
                      std::string_view prefix = {});

    // What build() keeps in memory at most; within smaller bounds it takes
    // other ways to the same index.
    struct Bounds
    {
        size_t keptNames = 262144;                // different names, or SQLite's sorter orders the parts
        qint64 bucketParts = 262144;              // parts sorted at once, unless one name has more
        size_t wordPartsBytes = size_t(32) << 20; // the words' parts, or some go out to a temporary table
        size_t partBytes = size_t(16) << 20;      // the parts read, or some go out to temporary tables
    };
    static void build(SQLite::Database& db, const PriceListRebuild::Listener& listener,
                      std::string_view prefix, const Bounds& bounds);

    // Lets go of what find() keeps from the file; before the connection closes.
    void forget();

private:
    // Reads the order of parts and the group names anew once the file has changed.
    void refresh(SQLite::Database& db);

    // The PRICE rowid of the part at a place in the order of names.
    qint64 partAt(size_t place) const
    {
        return m_wideOrder.empty() ? qint64(m_order[place]) : m_wideOrder[place];
    }
    size_t partCount() const { return m_wideOrder.empty() ? m_order.size() : m_wideOrder.size(); }

    Database& m_database;
    // The rowids in the order of names, four bytes each while they fit, as an
    // update numbers them; eight each (in m_wideOrder) once one does not.
    std::vector<quint32> m_order;
    std::vector<qint64> m_wideOrder;
    QHash<QString, QString> m_groups;
    std::vector<quint64> m_hidden; // by place in the order of names: parts of no group; empty when none
    qint64 m_dataVersion = -1;
};
