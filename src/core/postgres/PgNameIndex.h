#pragma once

#include "core/storage/NameIndex.h"
#include "core/storage/PriceListRebuild.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class PgConnection;

// The names of a list, each once, gathered as its parts go by: all the index
// needs of the parts on this side.
class PgListNames
{
public:
    // A part's PARTNAME, NULL as empty.
    void add(std::string_view name);
    std::vector<std::string_view> names() const;

private:
    std::deque<std::string> m_names; // stays in place for the views below
    std::unordered_set<std::string_view> m_seen;
};

// The names of the price list on the server. The parts are ranked once, when
// the list is made, in the order of names (NameWords::orderKey, PARTNUMBER,
// GROUPCODE in code points, ROW_NO); each run of consecutive parts with the
// same words of their names is a row of NAME_RUNS: its place (RUN_NO), its
// parts' ROW_NO in that order and the words as a tsvector written here, so
// that the server's text search parser, which splits and folds otherwise,
// never sees a name. A query is a tsquery of prefixes ('ко':* & 'пер':*),
// matched by a GIN index byte by byte, which in UTF-8 is code point by code
// point; PRICE_ROW_NO then finds the parts shown.
class PgNameIndex : public NameIndex
{
public:
    explicit PgNameIndex(PgConnection& db);

    bool isBuilt() override;
    Found find(const QStringList& query, qint64 limit) override;

    // Whether db's shop has its names indexed.
    static bool exists(PgConnection& db);
    // Indexes the names of "PRICE" + suffix into "NAME_RUNS" + suffix, with
    // its indexes, inside the caller's transaction; the tables must not be
    // there yet. names: those of the table's parts, read from it when not
    // given. The listener's keepAlive may stop it; progress is told the
    // parts done, when it is given.
    static void build(PgConnection& db, const std::string& suffix, const PriceListRebuild::Listener& listener,
                      const PgListNames* names = nullptr);
    // The index of the list as it is, replacing any there, and the schema's
    // version raised to say so: for a list made before names were indexed
    // and for a list copied into PRICE.
    static void buildInPlace(PgConnection& db, const PriceListRebuild::Listener& listener);
    // What an update's swap does besides PRICE: the index made with
    // suffix "_NEW" takes the current one's place.
    static std::string swapStatement();

private:
    // The runs holding parts of no group in the group list, which the grid
    // does not show: rare, so they are picked out here rather than indexed.
    struct OrphanRun
    {
        QStringList words;
        qint64 parts = 0;
    };

    // The name of every group by its code folded as the grid joins them, of
    // several codes equal ignoring case the first in code-point order; and
    // the parts of the list in no group.
    void readGroups(qint64 listVersion);
    // The parts of no group among those query finds.
    qint64 orphansFound(const QStringList& query) const;

    PgConnection& m_db;
    QHash<QString, QString> m_groupNames;
    QSet<qint64> m_orphans; // ROW_NO
    std::vector<OrphanRun> m_orphanRuns;
    qint64 m_groupsVersion = -1;
};
