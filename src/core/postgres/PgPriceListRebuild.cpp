#include "PgPriceListRebuild.h"

#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgNameIndex.h"
#include "core/postgres/PgSchema.h"
#include "core/postgres/PgSettingsStorage.h"
#include "core/postgres/PgStorage.h"
#include "core/storage/FreedMemory.h"

#include <QCoreApplication>

#include <thread>

namespace {

// How long the swap waits for the readers of the current tables at a time.
constexpr char kSwapLockTimeout[] = "SET LOCAL lock_timeout = '200ms'";
constexpr char kLockNotAvailable[] = "55P03";
constexpr size_t kCopyChunk = 1 << 16;
constexpr int kRowsPerFetch = 50000;

template <size_t N> std::string columnList(const std::array<TableColumn, N>& columns)
{
    std::string list;
    for (const TableColumn& column : columns)
        list += (list.empty() ? "" : ", ") + std::string(column.name);
    return list;
}

} // namespace

PgPriceListRebuild::PgPriceListRebuild(const QString& connection, Listener listener)
    : m_connection(connection), m_listener(std::move(listener))
{}

PgPriceListRebuild::~PgPriceListRebuild()
{
    if (m_ranker.joinable())
        m_ranker.join();
    // Closing the connection rolls the transaction back and frees the lock.
    if (m_db)
        m_db->close();
    m_transaction.reset();
}

void PgPriceListRebuild::begin(bool withGroups)
{
    m_withGroups = withGroups;
    // An update writes: on the primary, wherever the counter reads.
    m_db = std::make_unique<PgConnection>(m_connection, PgConnection::Target::Primary);
    m_db->setStopRequest(m_listener.keepAlive);
    PgSchema::checkMayUpdate(*m_db);
    if (!PgSchema::lockUpdate(*m_db))
        throw Error(QCoreApplication::translate(
            "PgPriceListRebuild",
            "Прайс-лист уже обновляется на другом рабочем месте; повторите после его конца"));
    m_transaction = std::make_unique<PgTransaction>(*m_db);
    m_db->exec(PgSchema::kProbePrice);
    m_db->exec(PgSchema::kDropNewTables);
}

qint64 PgPriceListRebuild::previousCount()
{
    return m_db->exec("SELECT count(*) FROM PRICE").integer(0, 0);
}

void PgPriceListRebuild::visitPrevious(const std::function<void(const PreviousPart&)>& visit)
{
    // On the caller's thread, while this connection loads the new list.
    PgConnection db(m_connection, PgConnection::Target::Primary);
    PgTransaction snapshot(db, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    db.exec("DECLARE previous NO SCROLL CURSOR FOR SELECT ROW_NO, PARTNUMBER, GROUPCODE, PRICE FROM PRICE");
    for (;;) {
        const PgResult rows = db.exec("FETCH " + std::to_string(kRowsPerFetch) + " FROM previous");
        for (int row = 0; row < rows.rows(); ++row)
            visit(PreviousPart{rows.integer(row, 0), rows.text(row, 1), rows.text(row, 2),
                               rows.single(row, 3)});
        if (rows.rows() < kRowsPerFetch)
            break;
    }
    snapshot.commit();
}

void PgPriceListRebuild::beginCopy(const std::string& sql)
{
    // FREEZE: the rows of a table made in this transaction are visible to
    // all once it commits, and need no second write to be marked so.
    m_db->beginCopy(sql + " FROM STDIN (FORMAT binary, FREEZE)");
    m_copy.emplace();
}

void PgPriceListRebuild::send(bool all)
{
    if (m_copy && (all || m_copy->size() >= kCopyChunk))
        m_db->putCopyData(m_copy->take());
}

void PgPriceListRebuild::endCopy()
{
    if (!m_copy)
        return;
    m_copy->end();
    send(true);
    m_copy.reset();
    m_db->withLongDeadline([&] { m_db->endCopy(); });
}

void PgPriceListRebuild::createParts()
{
    m_db->exec(PgSchema::createPriceStatement("PRICE_NEW"));
    beginCopy("COPY PRICE_NEW (" + columnList(Tables::kPriceColumns) + ", ROW_NO)");
}

void PgPriceListRebuild::appendParts(const FieldValue* values, size_t count)
{
    // The rows of the new table are numbered from 1 as they go in.
    const size_t columns = Tables::kPriceColumns.size();
    constexpr size_t partName = Tables::priceColumn("PARTNAME");
    constexpr size_t partNumber = Tables::priceColumn("PARTNUMBER");
    constexpr size_t groupCode = Tables::priceColumn("GROUPCODE");
    constexpr size_t shortNumber = Tables::priceColumn("SHORTPARTNUMBER");
    constexpr size_t crossNumber = Tables::priceColumn("CROSSNUMBER");
    const auto text = [](const FieldValue& value) {
        const auto* string = std::get_if<std::string>(&value);
        return string ? std::string_view(*string) : std::string_view();
    };
    for (size_t row = 0; row < count; ++row) {
        const FieldValue* part = values + row * columns;
        m_copy->beginRow(int(columns) + 1);
        for (size_t column = 0; column < columns; ++column)
            m_copy->append(part[column], Tables::kPriceColumns[column].kind);
        m_copy->appendBigint(++m_parts);
        // Taken here, the parts need not be read back for the name index
        // nor the cross map.
        m_names.add(m_parts, text(part[partName]), text(part[partNumber]), text(part[groupCode]));
        m_crossMaps.add(text(part[crossNumber]), text(part[shortNumber]));
        send(false);
    }
}

void PgPriceListRebuild::storeChanges(const std::vector<Change>& changes, const std::vector<qint64>& removed)
{
    endCopy();
    m_db->exec(PgSchema::createPriceChangesStatement("PRICE_CHANGES_NEW"));
    beginCopy("COPY PRICE_CHANGES_NEW (ROW_ID, KIND, OLD_PRICE)");
    for (const Change& change : changes) {
        m_copy->beginRow(3);
        m_copy->appendBigint(change.part);
        m_copy->appendText(PriceChange::name(change.kind).toStdString());
        m_copy->append(change.oldPrice ? FieldValue(*change.oldPrice) : FieldValue(), TableColumn::Single);
        send(false);
    }
    endCopy();
    if (removed.empty())
        return;
    // The removed parts keep their texts under -1, -2, ... in the replaced list's order.
    std::string ids = "{";
    for (const qint64 id : removed)
        ids += (ids.size() > 1 ? "," : "") + std::to_string(id);
    m_db->withLongDeadline([&] {
        m_db->exec(
            "INSERT INTO PRICE_CHANGES_NEW SELECT -row_number() OVER (ORDER BY ROW_NO), 'removed', PRICE, "
            "GROUPCODE, PARTNUMBER, PARTNAME FROM PRICE WHERE ROW_NO = ANY($1::bigint[])",
            {ids + "}"});
    });
}

template <typename Work> void PgPriceListRebuild::finishOnTheSide(Work work)
{
    try {
        work();
    } catch (...) {
        m_rankFailure = std::current_exception();
    }
}

void PgPriceListRebuild::indexParts()
{
    endCopy();
    m_ranker = std::thread([this] { finishOnTheSide([this] { m_names.finish(); }); });
    // Room to sort a million keys in memory rather than in temporary files.
    m_db->exec("SET LOCAL maintenance_work_mem = '256MB'");
    m_db->withLongDeadline([&] { m_db->execScript(PgSchema::createPriceIndexes("PRICE_NEW")); });
}

void PgPriceListRebuild::createGroups()
{
    m_db->exec(PgSchema::createGroupsStatement("GROUPS_NEW"));
    beginCopy("COPY GROUPS_NEW (" + columnList(Tables::kGroupsColumns) + ")");
}

void PgPriceListRebuild::appendGroups(const FieldValue* values, size_t count)
{
    const size_t columns = Tables::kGroupsColumns.size();
    for (size_t row = 0; row < count; ++row) {
        m_copy->beginRow(int(columns));
        for (size_t column = 0; column < columns; ++column)
            m_copy->append(values[row * columns + column], Tables::kGroupsColumns[column].kind);
        send(false);
    }
}

std::optional<std::vector<QString>> PgPriceListRebuild::groupCodes()
{
    endCopy();
    const PgResult rows =
        m_db->exec(m_withGroups ? "SELECT GROUPCODE FROM GROUPS_NEW" : "SELECT GROUPCODE FROM GROUPS");
    std::vector<QString> codes;
    codes.reserve(size_t(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row)
        codes.push_back(rows.string(row, 0));
    return codes;
}

void PgPriceListRebuild::addGroup(const QString& code, const QString& name)
{
    m_db->exec(m_withGroups ? "INSERT INTO GROUPS_NEW (GROUPCODE, GROUPNAME, DISCOUNT) VALUES ($1, $2, 0)"
                            : "INSERT INTO GROUPS (GROUPCODE, GROUPNAME, DISCOUNT) VALUES ($1, $2, 0)",
               {code, name});
}

void PgPriceListRebuild::stampPriceDate(const QDate& date)
{
    // Written just before the swap: the row stays locked until the commit.
    m_priceDate = date;
}

void PgPriceListRebuild::lockCurrentTables()
{
    const std::string lock = std::string("LOCK TABLE PRICE, PRICE_CHANGES") +
                             (m_withGroups ? ", GROUPS" : "") + " IN ACCESS EXCLUSIVE MODE";
    for (;;) {
        m_db->exec("SAVEPOINT swap");
        m_db->exec(kSwapLockTimeout);
        try {
            m_db->exec(lock);
            m_db->exec("SET LOCAL lock_timeout = 0");
            return;
        } catch (const PgError& error) {
            if (error.sqlState() != QLatin1String(kLockNotAvailable))
                throw;
        }
        // A reader holds them: let it finish, then try again.
        m_db->exec("ROLLBACK TO SAVEPOINT swap");
        if (m_listener.keepAlive && m_listener.keepAlive())
            throw Error(QCoreApplication::translate("PgPriceListRebuild", "Обновление прервано"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void PgPriceListRebuild::commit()
{
    endCopy();
    if (m_priceDate)
        PgSettingsStorage::writePriceDate(*m_db, *m_priceDate);
    lockCurrentTables();
    // The notice reaches the listening counters when the swap commits.
    m_db->execScript(PgSchema::swapTablesStatement(m_withGroups) +
                     "; ALTER TABLE PRICE ALTER ROW_NO RESTART WITH " + std::to_string(m_parts + 1) + "; " +
                     PgCrossMaps::kSwapStatement + "; NOTIFY " + PgStorage::kListChannel);
    // The last report may stop the update: it comes while that still rolls back.
    if (m_listener.progress)
        m_listener.progress(1, 1);
    // Past this point a stop would cancel a commit that may already be done.
    m_db->setStopRequest({});
    m_db->withLongDeadline([&] { m_transaction->commit(); });
    m_transaction.reset();
    m_db.reset();
}

void PgPriceListRebuild::indexNames()
{
    endCopy();
    // The update reports its own progress meanwhile.
    if (m_ranker.joinable())
        m_ranker.join();
    else
        m_names.finish();
    if (m_rankFailure)
        std::rethrow_exception(m_rankFailure);
    // The server indexes the names on one core; the maps are finished on
    // the other meanwhile.
    m_ranker = std::thread([this] { finishOnTheSide([this] { m_crossMaps.finish(); }); });
    PgNameIndex::build(*m_db, "_NEW", {m_listener.keepAlive, {}}, &m_names);
    m_ranker.join();
    if (m_rankFailure)
        std::rethrow_exception(m_rankFailure);
    m_crossMaps.store(*m_db, "CROSS_MAP_NEW");
    m_crossMaps = PgCrossMaps();
    releaseFreedMemory();
}
