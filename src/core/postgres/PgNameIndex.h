#pragma once

#include "core/storage/NameIndex.h"
#include "core/storage/NameTextIds.h"
#include "core/storage/PriceListRebuild.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class PgConnection;

// The parts of a list put in the order of names as they go by: each name
// kept once, with its parts packed in a buffer of its own (row, group,
// number: some twenty bytes a part), so that millions of parts are ordered
// here neither read back nor held as strings of their own.
class PgNameRanking
{
public:
    PgNameRanking();
    ~PgNameRanking();
    PgNameRanking(const PgNameRanking&) = delete;
    PgNameRanking& operator=(const PgNameRanking&) = delete;

    // A part; NULLs as empty texts.
    void add(qint64 row, std::string_view name, std::string_view number, std::string_view group);
    qint64 size() const { return m_parts; }
    // Orders the parts of each name; needs nothing else, so it may run on a
    // thread of its own.
    void finish();
    // The runs of parts with the same words, in order, as rows for COPY into
    // NAME_RUNS, a chunk at a time.
    void writeRuns(const std::function<void(const std::string&)>& send) const;

private:
    // Parts packed one after another, a part never split between blocks.
    struct Block
    {
        static constexpr size_t kSize = 4096 - 2 * sizeof(quint32);
        quint32 next = 0; // 0: the last of its name
        quint32 used = 0;
        char bytes[kSize];
    };
    struct Name
    {
        quint32 first = 0; // blocks, numbered from 1; 0: none yet
        quint32 last = 0;
        qint64 lastRow = 0;        // parts keep their row as a step from the last
        std::vector<quint32> rows; // once finished, in order
    };
    struct Ranked
    {
        quint32 name;
        std::string words; // as a tsvector; empty: none
    };

    // Reads and drops the blocks of name's parts.
    template <typename Visit> void takeParts(Name& name, Visit visit);

    std::vector<std::unique_ptr<Block>> m_blocks;
    NameTextIds m_nameIds{1024};
    std::deque<Name> m_names; // by id in m_nameIds
    NameTextIds m_groupIds{64};
    std::vector<Ranked> m_ranked; // the names in order, those equal but for case as one
    qint64 m_parts = 0;
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
    // there yet. ranking: the table's parts, finished; read from the table
    // when not given. The listener's keepAlive may stop it; progress is told
    // the parts read, when it is given.
    static void build(PgConnection& db, const std::string& suffix, const PriceListRebuild::Listener& listener,
                      const PgNameRanking* ranking = nullptr);
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
