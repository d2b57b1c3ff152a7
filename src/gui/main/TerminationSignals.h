#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a log-off, a shutdown, kill, Ctrl+C in a
// terminal) into a Qt signal on the user-interface thread, also while a
// modal dialog runs its own loop. The handler only writes the signal's
// number into a pipe, the one async-signal-safe way out; the event loop
// reads it. The handlers are installed while one object exists and the
// previous ones come back when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previous[3] = {};
};
