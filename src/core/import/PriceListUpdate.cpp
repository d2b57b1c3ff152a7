#include "PriceListUpdate.h"

#include "core/errors/Error.h"
#include "core/import/ThreadedSupplierReader.h"
#include "core/storage/Storage.h"
#include "core/storage/Tables.h"
#include "core/text/ShownValue.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <exception>
#include <string_view>
#include <thread>
#include <variant>

namespace {

const QString kDefaultGroupName = QStringLiteral("Группа товара");

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

PriceListUpdate::PriceListUpdate(const QString& programDir, Storage& storage, StageCallback onStage,
                                 ProgressReporter* progress)
    : m_programDir(programDir), m_storage(storage), m_stage(std::move(onStage))
{
    m_progress.m_target = progress;
}

QString PriceListUpdate::firstStage()
{
    return QCoreApplication::translate("PriceListUpdate", "Удаление старого прайса (1/7)");
}

QString PriceListUpdate::priceFileName(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral("import.txt"));
}

QString PriceListUpdate::groupsFileName(const QString& programDir)
{
    return QDir(programDir).filePath(QStringLiteral("importg.txt"));
}

PriceListUpdate::Outcome PriceListUpdate::run()
{
    stage(QCoreApplication::translate("PriceListUpdate", "Удаление старого прайса (2/7)"));
    Outcome outcome;
    PriceListRebuild::Listener listener;
    listener.keepAlive = [this] {
        m_progress.repeat();
        return stopRequested();
    };
    listener.progress = [this](qint64 done, qint64 total) {
        m_progress.update(done, total);
        checkStop();
    };
    try {
        const std::unique_ptr<PriceListRebuild> rebuild = m_storage.rebuild(listener);
        // Gone before the rebuild, whose previous list the comparison may still be reading.
        const auto finishReading = qScopeGuard([this] { m_comparison.finishReading(); });
        build(*rebuild, outcome);
        rebuild->commit();
    } catch (...) {
        // A statement the stop interrupted fails with the engine's word for it.
        checkStop();
        throw;
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
    return QCoreApplication::translate("PriceListUpdate", "Обновление прервано; прайс-лист не изменён.");
}

void PriceListUpdate::stage(const QString& message)
{
    m_progress.update(0, 0);
    m_stage(message);
}

void PriceListUpdate::build(PriceListRebuild& rebuild, Outcome& outcome)
{
    const bool withGroups = QFileInfo::exists(groupsFileName(m_programDir));
    outcome.groupsLoaded = withGroups;
    rebuild.begin(withGroups);
    // Read first: after a first update the new parts need not be kept.
    m_comparison.readOld(rebuild);

    stage(QCoreApplication::translate("PriceListUpdate", "Формирование нового прайса (3/7)"));
    rebuild.createParts();
    stage(QCoreApplication::translate("PriceListUpdate", "Формирование нового прайса (4/7)"));
    loadPrice(rebuild, outcome);
    // The comparison needs nothing of the storage: it runs while the part
    // indexes are built, and is done before the names are indexed.
    std::exception_ptr comparisonFailure;
    std::thread comparing([this, &comparisonFailure] {
        try {
            m_comparison.compare();
        } catch (...) {
            comparisonFailure = std::current_exception();
        }
    });
    auto joinComparing = qScopeGuard([&comparing] { comparing.join(); });
    rebuild.indexParts();
    joinComparing.dismiss();
    comparing.join();
    if (comparisonFailure)
        std::rethrow_exception(comparisonFailure);
    outcome.changes = m_comparison.store(rebuild);
    rebuild.indexNames();

    stage(QCoreApplication::translate("PriceListUpdate", "Формирование списка групп (5/7)"));
    if (withGroups) {
        rebuild.createGroups();
        stage(QCoreApplication::translate("PriceListUpdate", "Формирование списка групп (6/7)"));
        loadGroups(rebuild, outcome);
        stage(QCoreApplication::translate("PriceListUpdate", "Формирование списка групп (7/7)"));
    }
    addDefaultGroups(rebuild);
    if (withGroups) {
        outcome.priceDate = QDate::currentDate();
        rebuild.stampPriceDate(outcome.priceDate);
    }
}

void PriceListUpdate::collect(const ThreadedSupplierReader& reader, Outcome& outcome)
{
    outcome.adjustedCount += reader.adjustedCount();
    for (const auto& adjustment : reader.adjustments())
        if (outcome.adjustments.size() < size_t(SupplierFileReader::kAdjustmentExamples))
            outcome.adjustments.push_back(adjustment);
}

void PriceListUpdate::loadPrice(PriceListRebuild& rebuild, Outcome& outcome)
{
    ThreadedSupplierReader reader(priceFileName(m_programDir),
                                  {Tables::kPriceColumns.cbegin(), Tables::kPriceColumns.cend()},
                                  &m_progress);
    constexpr size_t groupCode = Tables::priceColumn("GROUPCODE");
    constexpr size_t crossNumber = Tables::priceColumn("CROSSNUMBER");
    constexpr size_t partNumber = Tables::priceColumn("PARTNUMBER");
    constexpr size_t price = Tables::priceColumn("PRICE");
    const auto text = [](const FieldConverter::Value& value) {
        const auto* string = std::get_if<std::string>(&value);
        return string ? std::string_view(*string) : std::string_view();
    };
    qint64 rows = 0;
    while (reader.nextBatch()) {
        rebuild.appendParts(reader.values(0), reader.rows());
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
        throw Error(
            QCoreApplication::translate(
                "PriceListUpdate", "Файл %1 не содержит ни одной строки прайс-листа; прайс-лист не изменён")
                .arg(reader.fileName()));
    collect(reader, outcome);
}

void PriceListUpdate::loadGroups(PriceListRebuild& rebuild, Outcome& outcome)
{
    ThreadedSupplierReader reader(groupsFileName(m_programDir),
                                  {Tables::kGroupsColumns.cbegin(), Tables::kGroupsColumns.cend()},
                                  &m_progress);
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
                throw Error::atLine(
                    reader.fileName(), reader.line(row),
                    QCoreApplication::translate("PriceListUpdate", "пустой код группы GROUPCODE"));
            const QString text = QString::fromStdString(*code);
            const QString folded = UnicodeCaseFolding::fold(text);
            if (codes.contains(folded))
                throw Error::atLine(
                    reader.fileName(), reader.line(row),
                    QCoreApplication::translate("PriceListUpdate", "код группы «%1» повторяется")
                        .arg(shownValue(text)));
            codes.insert(folded);
        }
        rebuild.appendGroups(reader.values(0), reader.rows());
    }
    // Else every group would become a default one, its name and discount lost.
    if (rows == 0)
        throw Error(
            QCoreApplication::translate(
                "PriceListUpdate", "Файл %1 не содержит ни одной строки списка групп; списки не изменены")
                .arg(reader.fileName()));
    collect(reader, outcome);
}

void PriceListUpdate::addDefaultGroups(PriceListRebuild& rebuild)
{
    const std::optional<std::vector<QString>> codes = rebuild.groupCodes();
    if (!codes)
        return;
    QSet<QString> known;
    for (const QString& code : *codes)
        known.insert(UnicodeCaseFolding::fold(code));

    // Every group code of the price list gets a group, so no loaded part is
    // left out of the price list; codes are compared ignoring case.
    // Spellings in binary order, so capitals win when a code comes in both.
    QStringList used;
    for (const std::string& code : m_usedGroups)
        used << QString::fromStdString(code);
    std::sort(used.begin(), used.end());
    for (const QString& code : used) {
        const QString folded = UnicodeCaseFolding::fold(code);
        if (!known.contains(folded)) {
            known.insert(folded);
            rebuild.addGroup(code, kDefaultGroupName);
        }
    }
}

QString PriceListUpdate::changeReport(const Outcome& outcome)
{
    const PriceListComparison::Counts& changes = outcome.changes;
    if (!changes.compared)
        return QCoreApplication::translate("PriceListUpdate", "Новых позиций: %1").arg(changes.added);
    const QString report =
        QCoreApplication::translate("PriceListUpdate",
                                    "Новых позиций: %1, снято: %2, подорожало: %3, подешевело: %4")
            .arg(changes.added)
            .arg(changes.removed)
            .arg(changes.up)
            .arg(changes.down);
    if (changes.withoutPrice == 0)
        return report;
    return report +
           QCoreApplication::translate("PriceListUpdate", ", без цены: %1").arg(changes.withoutPrice);
}

QString PriceListUpdate::report(const Outcome& outcome)
{
    const QString adjusted = adjustmentReport(outcome);
    return changeReport(outcome) + (adjusted.isEmpty() ? QString() : QLatin1Char('\n') + adjusted);
}

QString PriceListUpdate::adjustmentReport(const Outcome& outcome)
{
    const QString withoutCross =
        outcome.withoutCross > 0
            ? QCoreApplication::translate("PriceListUpdate", "Позиций без номера замены: %1")
                  .arg(outcome.withoutCross)
            : QString();
    if (outcome.adjustedCount == 0)
        return withoutCross;
    QString report =
        QCoreApplication::translate("PriceListUpdate",
                                    "При загрузке изменено значений: %1 (слишком длинный текст обрезан, "
                                    "неподходящее число оставлено пустым).")
            .arg(outcome.adjustedCount);
    report += QCoreApplication::translate("PriceListUpdate", "\nПримеры:");
    for (const auto& adjustment : outcome.adjustments)
        report += QCoreApplication::translate("PriceListUpdate", "\n%1, строка %2, %3: «%4»")
                      .arg(adjustment.fileName)
                      .arg(adjustment.line)
                      .arg(adjustment.column, adjustment.value);
    if (!withoutCross.isEmpty())
        report += QLatin1Char('\n') + withoutCross;
    return report;
}
