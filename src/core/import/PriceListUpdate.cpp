#include "PriceListUpdate.h"

#include "core/db/ClientFiles.h"
#include "core/db/DatabaseCompactor.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/DatabaseLock.h"
#include "core/db/DatabaseReplacement.h"
#include "core/db/Schema.h"
#include "core/db/SettingsRecord.h"
#include "core/import/BulkInsert.h"
#include "core/import/ThreadedSupplierReader.h"
#include "core/text/Error.h"
#include "core/text/ShownValue.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <string_view>
#include <variant>

namespace {

const QString kDefaultGroupName = QStringLiteral("Группа товара");

size_t priceColumn(std::string_view name)
{
    const auto& columns = Schema::kPriceColumns;
    return size_t(std::find_if(columns.begin(), columns.end(),
                               [name](const TableColumn& column) { return column.name == name; }) -
                  columns.begin());
}

// Long statements (building the indexes) report nothing themselves: SQLite
// calls back every few thousand steps so the caller's window stays alive,
// and interrupts the statement when the caller wants the update stopped.
int keepAlive(void* context)
{
    auto* update = static_cast<PriceListUpdate*>(context);
    update->progress().repeat();
    return update->stopRequested() ? 1 : 0;
}

} // namespace

void PriceListUpdate::Progress::update(qint64 position, qint64 total)
{
    m_position = position;
    m_total = total;
    if (m_target)
        m_target->update(position, total);
}

void PriceListUpdate::Progress::repeat()
{
    if (m_target)
        m_target->update(m_position, m_total);
}

PriceListUpdate::PriceListUpdate(const QString& programDir, DatabaseLock& lock, StageCallback onStage,
                                 ProgressReporter* progress)
    : m_programDir(programDir), m_lock(lock), m_stage(std::move(onStage))
{
    m_progress.m_target = progress;
}

QString PriceListUpdate::firstStage()
{
    return QStringLiteral("Удаление старого прайса (1/7)");
}

QString PriceListUpdate::priceFileName(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral("import.txt"));
}

QString PriceListUpdate::groupsFileName(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral("importg.txt"));
}

void PriceListUpdate::checkPriceTable(SQLite::Database& db)
{
    SQLite::Statement probe(db, "SELECT * FROM PRICE LIMIT 0");
    probe.executeStep();
}

PriceListUpdate::Outcome PriceListUpdate::run()
{
    stage(QStringLiteral("Удаление старого прайса (2/7)"));
    Outcome outcome;
    const QString database = ClientFiles::databaseFileName(m_programDir);
    const QString temporary = DatabaseCompactor::temporaryFileName(m_programDir);
    DatabaseReplacement::checkWritable(database, temporary);
    DatabaseLock::ExclusiveScope exclusive(m_lock);
    DatabaseReplacement live(database);
    DatabaseCompactor::removeTemporaryFiles(m_programDir);
    try {
        {
            // Only this thread uses the connection: no locking per SQLite call.
            SQLite::Database target(QFile::encodeName(temporary).toStdString(),
                                    SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE | SQLite::OPEN_NOMUTEX);
            try {
                // Before anything is written. Larger pages mean fewer page
                // splits and cells moved while the rows and the indexes go
                // in, unless the database's WAL mode fixes its page size.
                const int pageSize = live.requiredPageSize();
                target.exec("PRAGMA page_size=" + std::to_string(pageSize ? pageSize : 16384));
                target.exec("PRAGMA encoding='" + live.textEncoding().toStdString() + "'");
                build(target, outcome);
            } catch (const SQLite::Exception& error) {
                // An interrupted statement is a stop.
                checkStop();
                throw Error(DatabaseReplacement::failure(temporary, QString::fromUtf8(error.what())));
            }
        }
        live.replaceWith(temporary, [this](qint64 done, qint64 total) {
            m_progress.update(done, total);
            checkStop();
        });
    } catch (...) {
        DatabaseCompactor::removeTemporaryFiles(m_programDir);
        throw;
    }
    // The new content is in place: what is left of the copy is only in the way.
    try {
        DatabaseCompactor::removeTemporaryFiles(m_programDir);
    } catch (const Error&) {
        // Deleted by the next update or compaction.
    }
    return outcome;
}

void PriceListUpdate::setStopRequest(std::function<bool()> stopRequested)
{
    m_stopRequested = std::move(stopRequested);
}

bool PriceListUpdate::stopRequested() const
{
    return m_stopRequested && m_stopRequested();
}

void PriceListUpdate::checkStop() const
{
    if (stopRequested())
        throw Error(stoppedMessage());
}

QString PriceListUpdate::stoppedMessage()
{
    return QStringLiteral("Обновление прервано; прайс-лист не изменён.");
}

void PriceListUpdate::stage(const QString& message)
{
    m_progress.update(0, 0);
    m_stage(message);
}

void PriceListUpdate::build(SQLite::Database& target, Outcome& outcome)
{
    // The new file is thrown away on any failure and flushed whole before the
    // swap, so it needs no journal of its own while it is built.
    target.exec("PRAGMA journal_mode=OFF");
    target.exec("PRAGMA synchronous=OFF");
    // A small cache makes CREATE INDEX sort in small runs: helper threads
    // sort them while the table is read, and the merge is cheap. One large
    // run is sorted at the end on this thread alone, and slower.
    target.exec("PRAGMA cache_size=-4096");
    target.exec("PRAGMA temp_store=FILE");
    target.exec("PRAGMA threads=2");
    sqlite3_progress_handler(target.getHandle(), 20000, keepAlive, this);

    const bool withGroups = QFileInfo::exists(groupsFileName(m_programDir));
    outcome.groupsLoaded = withGroups;
    QStringList replaced{QLatin1String(Schema::kPriceTable), QLatin1String(Schema::kPriceChangesTable)};
    if (withGroups)
        replaced << QLatin1String(Schema::kGroupsTable);
    DatabaseCopy copy(target, ClientFiles::databaseFileName(m_programDir), replaced);
    if (!copy.sourceHasTable(QLatin1String(Schema::kPriceTable)))
        throw Error(QStringLiteral("no such table: PRICE"));

    target.exec("BEGIN");
    copy.copyTables();
    // DatabaseCopy has the replaced file attached as "source". Read first:
    // after a first update the new parts need not be kept.
    m_comparison.readOld(target, "source", ClientFiles::databaseFileName(m_programDir));

    stage(QStringLiteral("Формирование нового прайса (3/7)"));
    target.exec(Schema::createPriceStatement());
    stage(QStringLiteral("Формирование нового прайса (4/7)"));
    loadPrice(target, outcome);
    // Before the indexes, so that the two lists are gone when they are sorted.
    outcome.changes = m_comparison.store(target, "source");
    target.exec(Schema::kCreatePriceShortPartNumberIndex);
    target.exec(Schema::kCreatePriceCrossNumberIndex);

    stage(QStringLiteral("Формирование списка групп (5/7)"));
    if (withGroups) {
        target.exec(Schema::createGroupsStatement());
        stage(QStringLiteral("Формирование списка групп (6/7)"));
        loadGroups(target, outcome);
        stage(QStringLiteral("Формирование списка групп (7/7)"));
    }
    addDefaultGroups(target);
    if (withGroups)
        stampDate(target, outcome);

    copy.copyOtherObjects();
    target.exec("COMMIT");
    copy.detach();
}

void PriceListUpdate::collect(const ThreadedSupplierReader& reader, Outcome& outcome)
{
    outcome.adjustedCount += reader.adjustedCount();
    for (const auto& adjustment : reader.adjustments())
        if (outcome.adjustments.size() < size_t(SupplierFileReader::kAdjustmentExamples))
            outcome.adjustments.push_back(adjustment);
}

void PriceListUpdate::loadPrice(SQLite::Database& target, Outcome& outcome)
{
    ThreadedSupplierReader reader(priceFileName(m_programDir),
                                  {Schema::kPriceColumns.cbegin(), Schema::kPriceColumns.cend()},
                                  &m_progress);
    BulkInsert insert(target.getHandle(), Schema::kPriceTable, Schema::kPriceColumns.size());
    static const size_t groupCode = priceColumn("GROUPCODE");
    static const size_t crossNumber = priceColumn("CROSSNUMBER");
    static const size_t partNumber = priceColumn("PARTNUMBER");
    static const size_t price = priceColumn("PRICE");
    const auto text = [](const FieldConverter::Value& value) {
        const auto* string = std::get_if<std::string>(&value);
        return string ? std::string_view(*string) : std::string_view();
    };
    qint64 rows = 0;
    while (reader.nextBatch()) {
        insert.insert(reader.values(0), reader.rows());
        for (size_t row = 0; row < reader.rows(); ++row) {
            const FieldConverter::Value* values = reader.values(row);
            if (const auto* code = std::get_if<std::string>(&values[groupCode]))
                m_usedGroups.insert(*code);
            // Loaded, but left out of the cross list, so that no search finds it.
            const auto* cross = std::get_if<std::string>(&values[crossNumber]);
            if (!cross || cross->empty())
                ++outcome.withoutCross;
            // The rows of the new table are numbered from 1 as they go in.
            std::optional<double> retail;
            if (const auto* real = std::get_if<double>(&values[price]))
                retail = *real;
            else if (const auto* whole = std::get_if<qint64>(&values[price]))
                retail = double(*whole);
            m_comparison.addNew(rows + qint64(row) + 1, text(values[partNumber]), text(values[groupCode]),
                                retail);
        }
        rows += qint64(reader.rows());
    }
    // An empty delivery must never wipe the clerk's price list.
    if (rows == 0)
        throw Error(QStringLiteral("Файл %1 не содержит ни одной строки прайс-листа; прайс-лист не изменён")
                        .arg(reader.fileName()));
    collect(reader, outcome);
}

void PriceListUpdate::loadGroups(SQLite::Database& target, Outcome& outcome)
{
    ThreadedSupplierReader reader(groupsFileName(m_programDir),
                                  {Schema::kGroupsColumns.cbegin(), Schema::kGroupsColumns.cend()},
                                  &m_progress);
    BulkInsert insert(target.getHandle(), Schema::kGroupsTable, Schema::kGroupsColumns.size());
    QSet<QString> codes;
    qint64 rows = 0;
    while (reader.nextBatch()) {
        rows += qint64(reader.rows());
        for (size_t row = 0; row < reader.rows(); ++row) {
            const auto* code = std::get_if<std::string>(reader.values(row));
            // GROUPCODE is how parts find their group's name and discount: a
            // missing or repeated code would leave a group unreachable or a
            // discount ambiguous, so the whole file is refused before anything
            // changes.
            if (!code)
                throw Error::atLine(reader.fileName(), reader.line(row),
                                    QStringLiteral("пустой код группы GROUPCODE"));
            const QString text = QString::fromStdString(*code);
            const QString folded = UnicodeCaseFolding::fold(text);
            if (codes.contains(folded))
                throw Error::atLine(reader.fileName(), reader.line(row),
                                    QStringLiteral("код группы «%1» повторяется").arg(shownValue(text)));
            codes.insert(folded);
        }
        insert.insert(reader.values(0), reader.rows());
    }
    // Else every group would become a default one, its name and discount lost.
    if (rows == 0)
        throw Error(QStringLiteral("Файл %1 не содержит ни одной строки списка групп; списки не изменены")
                        .arg(reader.fileName()));
    collect(reader, outcome);
}

void PriceListUpdate::addDefaultGroups(SQLite::Database& target)
{
    if (!target.tableExists(Schema::kGroupsTable))
        return;
    QSet<QString> known;
    SQLite::Statement existing(target, "SELECT GROUPCODE FROM GROUPS");
    while (existing.executeStep())
        known.insert(UnicodeCaseFolding::fold(QString::fromUtf8(existing.getColumn(0).getText())));

    // Every group code of the price list gets a group, so no loaded part is
    // left out of the price list; codes are compared ignoring case.
    // Spellings in binary order, so capitals win when a code comes in both.
    QStringList used;
    for (const std::string& code : m_usedGroups)
        used << QString::fromStdString(code);
    std::sort(used.begin(), used.end());
    QStringList missing;
    for (const QString& code : used) {
        const QString folded = UnicodeCaseFolding::fold(code);
        if (!known.contains(folded)) {
            known.insert(folded);
            missing << code;
        }
    }
    SQLite::Statement insert(target, "INSERT INTO GROUPS (GROUPCODE, GROUPNAME, DISCOUNT) VALUES (?, ?, 0)");
    for (const QString& code : missing) {
        insert.bind(1, code.toStdString());
        insert.bind(2, kDefaultGroupName.toStdString());
        insert.exec();
        insert.reset();
    }
}

void PriceListUpdate::stampDate(SQLite::Database& target, Outcome& outcome)
{
    outcome.priceDate = QDate::currentDate();
    SettingsRecord::writePriceDate(target, outcome.priceDate);
}

QString PriceListUpdate::changeReport(const Outcome& outcome)
{
    const PriceListComparison::Counts& changes = outcome.changes;
    if (!changes.compared)
        return QStringLiteral("Новых позиций: %1").arg(changes.added);
    return QStringLiteral("Новых позиций: %1, снято: %2, подорожало: %3, подешевело: %4")
        .arg(changes.added)
        .arg(changes.removed)
        .arg(changes.up)
        .arg(changes.down);
}

QString PriceListUpdate::report(const Outcome& outcome)
{
    const QString adjusted = adjustmentReport(outcome);
    return changeReport(outcome) + (adjusted.isEmpty() ? QString() : QLatin1Char('\n') + adjusted);
}

QString PriceListUpdate::adjustmentReport(const Outcome& outcome)
{
    const QString withoutCross =
        outcome.withoutCross > 0 ? QStringLiteral("Позиций без номера замены: %1").arg(outcome.withoutCross)
                                 : QString();
    if (outcome.adjustedCount == 0)
        return withoutCross;
    QString report = QStringLiteral("При загрузке изменено значений: %1 (слишком длинный текст обрезан, "
                                    "неподходящее число оставлено пустым).")
                         .arg(outcome.adjustedCount);
    report += QStringLiteral("\nПримеры:");
    for (const auto& adjustment : outcome.adjustments)
        report += QStringLiteral("\n%1, строка %2, %3: «%4»")
                      .arg(adjustment.fileName)
                      .arg(adjustment.line)
                      .arg(adjustment.column, adjustment.value);
    if (!withoutCross.isEmpty())
        report += QLatin1Char('\n') + withoutCross;
    return report;
}
