#pragma once

#include "core/sqlite/DatabaseLock.h"
#include "core/storage/PriceListRebuild.h"

#include <QString>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

class BulkInsert;
class QThread;

namespace SQLite {
class Database;
}

// The new list is built inside Tardesk.mdb itself, in one SQLite
// transaction, beside the tables it replaces and under other names; at the
// end those are dropped and the new ones take their names. Its pages go
// where the file has free room or past its end: SQLite journals neither,
// so the journal holds a few pages, and a failure or a kill at any moment
// leaves the clerk's price list, groups and date exactly as they were.
// The replaced tables' room stays in the file for the next update, which
// fills it first: the file stays within about its compact size and that of
// one more list. Other tables are not touched. From begin() to the end,
// the folder's lock is held exclusively and, outside WAL mode, the file
// too: other programs' readers and writers wait for the end.
class SqlitePriceListRebuild : public PriceListRebuild
{
public:
    // Every connection of this process to Tardesk.mdb must be closed.
    SqlitePriceListRebuild(const QString& programDir, DatabaseLock& lock, Listener listener);
    ~SqlitePriceListRebuild() override;

    void begin(bool withGroups) override;
    // Instead of begin(), for the name index alone, which the file does not
    // have: indexNames() builds it over the list kept, and commit() ends
    // the transaction.
    void beginNameIndex();
    qint64 previousCount() override;
    void visitPrevious(const std::function<void(const PreviousPart&)>& visit) override;
    void createParts() override;
    void appendParts(const FieldValue* values, size_t count) override;
    void storeChanges(const std::vector<Change>& changes, const std::vector<qint64>& removed) override;
    void indexParts() override;
    void indexNames() override;
    void createGroups() override;
    void appendGroups(const FieldValue* values, size_t count) override;
    std::optional<std::vector<QString>> groupCodes() override;
    void addGroup(const QString& code, const QString& name) override;
    void stampPriceDate(const QDate& date) override;
    void commit() override;

    // What the tables of a new list are called until they replace the old ones.
    static constexpr char kNewPrefix[] = "TARDESK_NEW_";

private:
    // Opens the file and begins the transaction; replaced: the tables the
    // new ones will replace, built with kNewPrefix; none for the name index.
    void start(const QStringList& replaced);
    // The table's name while it is built.
    std::string building(const char* table) const;
    // Creates table by statement under its building() name, which it returns.
    std::string createTable(std::string_view statement, const char* table);
    // Drops the replaced tables and gives the new ones their names.
    void swapTables();
    // Runs body, naming the file in an engine error.
    template <typename Body> auto onFile(Body&& body);
    static int keepAlive(void* rebuild);

    QString m_programDir;
    QString m_databaseFileName;
    DatabaseLock& m_lock;
    Listener m_listener;
    std::optional<DatabaseLock::ExclusiveScope> m_exclusive;
    std::unique_ptr<SQLite::Database> m_db;
    // Held by whichever thread uses m_db: the one reading the previous list
    // or the one running the update (in onFile()).
    std::mutex m_connection;
    QThread* m_owner = nullptr;
    QStringList m_replaced;
    std::string m_prefix;
    std::unique_ptr<BulkInsert> m_parts;
    std::unique_ptr<BulkInsert> m_groups;
};
