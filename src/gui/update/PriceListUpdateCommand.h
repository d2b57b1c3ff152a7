#pragma once

#include <QObject>

#include <functional>

class ClientSession;
class QWidget;

// The Update command of the main window: asks, runs the price list update
// under the progress window, and brings the connection and the settings
// record back over the new file, whatever happened.
class PriceListUpdateCommand : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        std::function<void()> closePriceList;
        // After an update that changed nothing: the price list as it was.
        std::function<void()> reopenPriceList;
        // Called with true before the update touches anything and with false
        // once the progress window is gone.
        std::function<void(bool)> setBusy;
    };

    PriceListUpdateCommand(ClientSession& session, QWidget* window, Hooks hooks);

    bool isRunning() const { return m_running; }

    void execute();
    // Stops a running update at its next step; the old list stays.
    void abandon() { m_abandoned = true; }

private:
    // Runs the stages; the error message, or empty on success.
    QString runStages(QString* report);

    ClientSession& m_session;
    QWidget* m_window;
    Hooks m_hooks;
    bool m_running = false;
    bool m_abandoned = false;
    bool m_replaced = false; // the new list is in place
};
