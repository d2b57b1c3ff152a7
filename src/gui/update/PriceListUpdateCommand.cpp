#include "PriceListUpdateCommand.h"

#include "core/errors/Error.h"
#include "core/import/PriceListUpdate.h"
#include "core/session/ClientSession.h"
#include "core/storage/PriceCatalogue.h"
#include "gui/shared/MessageBoxes.h"
#include "gui/update/TformWait.h"
#include "gui/update/WaitProgr.h"

#include <QWidget>

namespace {

// Feeds the share of the file read to the progress window's bar.
class WaitFormProgress : public ProgressReporter
{
public:
    void update(qint64 position, qint64 total) override
    {
        if (TformWait* form = WaitProgr::waitForm())
            form->setProgress(position, total);
    }
};

} // namespace

PriceListUpdateCommand::PriceListUpdateCommand(ClientSession& session, QWidget* window, Hooks hooks)
    : QObject(window), m_session(session), m_window(window), m_hooks(std::move(hooks))
{}

void PriceListUpdateCommand::execute()
{
    if (m_running)
        return;
    if (MessageBoxes::confirm(m_window, tr("Вы хотите загрузить прайс-лист и скидки?")) !=
        MessageBoxes::Answer::Yes)
        return;

    m_running = true;
    m_abandoned = false;
    m_hooks.setBusy(true);
    QString report;
    const QString error = runStages(&report);
    WaitProgr::HideWaitForm();
    m_hooks.setBusy(false);
    m_running = false;

    if (!error.isEmpty() && !m_replaced && m_hooks.reopenPriceList)
        m_hooks.reopenPriceList();
    // Only now, with the progress window gone, may a modal box open; an
    // update the clerk interrupted needs no word on it.
    if (m_abandoned && !m_replaced)
        return;
    if (!error.isEmpty())
        MessageBoxes::showError(m_window, error);
    else
        MessageBoxes::information(m_window, report);
}

QString PriceListUpdateCommand::runStages(QString* report)
{
    QString error;
    m_replaced = false;
    try {
        WaitProgr::ShowWaitForm(PriceListUpdate::firstStage());
        m_hooks.closePriceList();
        m_session.storage().catalogue().checkPriceTable();

        WaitFormProgress progress;
        PriceListUpdate update(m_session.ProgramDir(), m_session.storage(), &WaitProgr::SetWaitMessage,
                               &progress);
        update.setStopRequest([this] { return m_abandoned; });
        const PriceListUpdate::Outcome outcome = update.run();
        m_replaced = true;
        *report = PriceListUpdate::report(outcome);

        m_session.reopenDatabase();
        // An edit in progress stays pending; the new date is kept by it.
        if (outcome.priceDate.isValid())
            m_session.settings().storePriceDate(outcome.priceDate);
    } catch (const std::exception& failure) {
        error = Error::messageOf(failure);
        // What fails after the new list is in place does not undo the update.
        if (m_replaced)
            error.prepend(tr("Прайс-лист обновлён.\n"));
    }
    if (!m_session.isDatabaseOpen()) {
        // A failed update leaves the previous file in place: carry on with it.
        try {
            m_session.reopenDatabase();
        } catch (const std::exception& failure) {
            if (error.isEmpty())
                error = Error::messageOf(failure);
        }
    }
    return error;
}
