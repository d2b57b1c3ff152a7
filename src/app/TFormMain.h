#pragma once

#include "app/ClientSession.h"

#include <QMainWindow>

class QAction;

// The main window: owns the session (configuration, connection, settings
// record) for the whole run and runs start-up and shutdown.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const QString& programDir, QWidget* parent = nullptr);

    // False when start-up stopped; the program then ends instead of showing the window.
    bool isInitialized() const { return Initialized; }
    ClientSession& session() { return m_session; }

    QAction* actionExitProgramm = nullptr;

    void actionExitProgrammExecute();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    // Shutdown; false when the configuration could not be saved.
    bool FormClose();

    bool Initialized = false;
    ClientSession m_session;
};
