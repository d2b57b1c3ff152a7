#pragma once

#include "core/sqlite/DatabaseLock.h"
#include "core/storage/PriceListRebuild.h"

#include <QString>

#include <memory>
#include <optional>

class BulkInsert;
class DatabaseCopy;
class DatabaseReplacement;

namespace SQLite {
class Database;
}

// The new list is built complete in "~temp.mdb", carrying every other table
// of Tardesk.mdb over, and copied over Tardesk.mdb in one SQLite
// transaction (DatabaseReplacement), so any failure or a kill leaves the
// clerk's price list, groups and date exactly as they were. The folder's
// lock is held exclusively from begin() to the end of the copy.
class SqlitePriceListRebuild : public PriceListRebuild
{
public:
    // Every connection of this process to Tardesk.mdb must be closed.
    SqlitePriceListRebuild(const QString& programDir, DatabaseLock& lock, Listener listener);
    ~SqlitePriceListRebuild() override;

    void begin(bool withGroups) override;
    // Instead of begin(), for the name index alone: every table is carried
    // over as it is, indexNames() then builds the index over the list kept,
    // and commit() puts the file in place as after an update.
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

private:
    // Carries every table but replaced into the new file.
    void start(const QStringList& replaced);
    // Runs body on the new file, naming the file in an engine error.
    template <typename Body> auto onNewFile(Body&& body);
    static int keepAlive(void* rebuild);

    QString m_programDir;
    QString m_databaseFileName;
    QString m_temporaryFileName;
    DatabaseLock& m_lock;
    Listener m_listener;
    std::optional<DatabaseLock::ExclusiveScope> m_exclusive;
    std::unique_ptr<DatabaseReplacement> m_live;
    std::unique_ptr<SQLite::Database> m_target;
    std::unique_ptr<DatabaseCopy> m_copy;
    std::unique_ptr<BulkInsert> m_parts;
    std::unique_ptr<BulkInsert> m_groups;
};
