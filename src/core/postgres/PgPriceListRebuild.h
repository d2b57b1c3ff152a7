#pragma once

#include "core/postgres/PgBinaryRows.h"
#include "core/postgres/PgCrossMaps.h"
#include "core/postgres/PgNameIndex.h"
#include "core/storage/PriceListRebuild.h"

#include <QString>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class PgConnection;
class PgTransaction;

// The new list is loaded with COPY into PRICE_NEW, PRICE_CHANGES_NEW and,
// with a group file, GROUPS_NEW, on a connection of its own, in one
// transaction that ends by putting them in the place of the current tables:
// a kill, a lost connection or a full disk leave the current list, and
// nothing of the new one. The swap waits for readers only a moment at a
// time, so searches go on meanwhile. An advisory lock held by the connection
// refuses a second update at once.
class PgPriceListRebuild : public PriceListRebuild
{
public:
    PgPriceListRebuild(const QString& connection, Listener listener);
    ~PgPriceListRebuild() override;

    void begin(bool withGroups) override;
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
    void beginCopy(const std::string& sql);
    // Sends the rows gathered, all of them or once there are enough.
    void send(bool all);
    void endCopy();
    // Takes the tables being replaced from their readers, trying again
    // until the readers let go.
    void lockCurrentTables();
    // Runs work on m_ranker's thread, keeping what it throws for the update's.
    template <typename Work> void finishOnTheSide(Work work);

    QString m_connection;
    Listener m_listener;
    std::unique_ptr<PgConnection> m_db;
    std::unique_ptr<PgTransaction> m_transaction;
    bool m_withGroups = false;
    qint64 m_parts = 0;
    std::optional<PgBinaryRows> m_copy; // while a COPY is open
    std::optional<QDate> m_priceDate;
    PgNameRanking m_names;   // of the new list, for its name index
    PgCrossMaps m_crossMaps; // of the new list, kept for the counters
    // Orders m_names while the server builds the part indexes, then
    // m_crossMaps while it builds the name index.
    std::thread m_ranker;
    std::exception_ptr m_rankFailure;
};
