#pragma once

#include "core/import/PriceListComparison.h"
#include "core/import/ProgressReporter.h"
#include "core/import/SupplierFileReader.h"

#include <QDate>
#include <QString>

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

class Storage;
class ThreadedSupplierReader;

// Replaces the price list and the groups from the supplier's import.txt and
// importg.txt through the storage's PriceListRebuild, all or nothing: any
// failure or a kill leaves the clerk's price list, groups and date exactly
// as they were.
class PriceListUpdate
{
public:
    struct Outcome
    {
        bool groupsLoaded = false; // importg.txt was there
        QDate priceDate;           // stamped into the settings record; invalid when not
        qint64 adjustedCount = 0;
        std::vector<SupplierFileReader::Adjustment> adjustments; // the first examples
        qint64 withoutCross = 0;                                 // parts no search can find: no CROSSNUMBER
        PriceListComparison::Counts changes;                     // against the replaced list
    };

    using StageCallback = std::function<void(const QString& message)>;

    // Passes the reader's progress on and repeats the last figure while
    // SQLite works, so the caller can keep its window painted.
    class Progress : public ProgressReporter
    {
    public:
        void update(qint64 position, qint64 total) override;
        void repeat();

        ProgressReporter* m_target = nullptr;

    private:
        qint64 m_position = 0;
        qint64 m_total = 0;
    };

    // programDir holds the supplier's files.
    PriceListUpdate(const QString& programDir, Storage& storage, StageCallback onStage,
                    ProgressReporter* progress = nullptr);

    // What the caller shows before it closes its connection and calls run().
    static QString firstStage();

    // Runs the stages from "(2/7)" on. The storage may be suspended for it:
    // the caller resumes it afterwards, whatever the outcome.
    Outcome run();

    // Asked while the update runs; once it answers true, the update stops
    // with stoppedMessage() and changes nothing.
    void setStopRequest(std::function<bool()> stopRequested);
    bool stopRequested() const;
    static QString stoppedMessage();
    Progress& progress() { return m_progress; }

    // The adjusted-values report the clerk is shown, with the parts left
    // without a cross number; empty when there is nothing to report.
    static QString adjustmentReport(const Outcome& outcome);
    // "Новых позиций: N, снято: N, подорожало: N, подешевело: N", then
    // ", без цены: N" when some are; only the first figure after a first update.
    static QString changeReport(const Outcome& outcome);
    // What the clerk is told after every update: the changes, then the
    // adjusted values.
    static QString report(const Outcome& outcome);

    static QString priceFileName(const QString& programDir);
    static QString groupsFileName(const QString& programDir);

private:
    void stage(const QString& message);
    void checkStop() const;
    void build(PriceListRebuild& rebuild, Outcome& outcome);
    void loadPrice(PriceListRebuild& rebuild, Outcome& outcome);
    void loadGroups(PriceListRebuild& rebuild, Outcome& outcome);
    void addDefaultGroups(PriceListRebuild& rebuild);
    void collect(const ThreadedSupplierReader& reader, Outcome& outcome);

    QString m_programDir;
    Storage& m_storage;
    StageCallback m_stage;
    Progress m_progress;
    PriceListComparison m_comparison;
    std::function<bool()> m_stopRequested;
    // The group codes the new price list uses, as spelled in the file.
    std::unordered_set<std::string> m_usedGroups;
};
