#include "UpdateVerb.h"

#include "core/import/PriceListUpdate.h"
#include "core/session/ShopStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/storage/Storage.h"

namespace {

// Reports the share of the file read in whole percents, each figure once.
class PercentReporter : public ProgressReporter
{
public:
    explicit PercentReporter(QTextStream& err) : m_err(err) {}

    void update(qint64 position, qint64 total) override
    {
        if (total <= 0)
            return;
        const int percent = int(position * 100 / total);
        if (percent / 10 != m_shown / 10) {
            m_shown = percent;
            m_err << QStringLiteral("  %1%").arg(percent) << Qt::endl;
        }
    }
    void restart() { m_shown = -10; }

private:
    QTextStream& m_err;
    int m_shown = -10;
};

} // namespace

int UpdateVerb::execute(const QStringList& arguments, QTextStream&, QTextStream& err)
{
    if (arguments.size() != 1)
        return wrongUsage(err);
    const QString folder = arguments.front();
    const std::unique_ptr<Storage> storage = openShop(folder, ShopStorage::Access::Read);
    storage->catalogue().checkPriceTable();
    PercentReporter progress(err);
    PriceListUpdate update(
        folder, *storage,
        [&](const QString& message) {
            err << message << Qt::endl;
            progress.restart();
        },
        &progress);
    err << PriceListUpdate::firstStage() << Qt::endl;
    const PriceListUpdate::Outcome outcome = update.run();
    err << PriceListUpdate::report(outcome) << Qt::endl;
    return 0;
}
