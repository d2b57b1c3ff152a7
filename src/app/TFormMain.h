#pragma once

#include "app/ClientSession.h"

#include <QMainWindow>

class ActionManager;
class ParametersPanel;
class PriceListUpdateCommand;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QTableView;
class QToolBar;
class TFormSetup;

// The main window: owns the session (configuration, connection, settings
// record) for the whole run, runs start-up and shutdown, and shows the
// search panel, the parameters panel and the price grid under one set of
// commands.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const QString& programDir, QWidget* parent = nullptr);

    // False when start-up stopped; the program then ends instead of showing the window.
    bool isInitialized() const { return Initialized; }
    ClientSession& session() { return m_session; }
    ActionManager& actions() { return *m_actions; }

    QMenuBar* ActionMainMenuBar1;
    QToolBar* ToolBar1;
    QStatusBar* StatusBar1;
    QWidget* Panel1;
    QGroupBox* GroupBox1;
    QLabel* lbFound;
    QComboBox* cbSearchNr;
    QListWidget* listboxSearch;
    ParametersPanel* GroupBoxParameters;
    QSplitter* Splitter1;
    QWidget* Panel2;
    QGroupBox* GroupBox2;
    QTableView* DBGridPartsPrice;
    QMenu* PopupActionPriceParts;
    // The settings dialog, created hidden at start and kept for the whole run.
    TFormSetup* FormSetup;

    void actionExitProgrammExecute();
    void ActionSetupExecute();
    void actionUpdatePriceExecute();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createLayout();
    QWidget* createLeftPanel();
    QGroupBox* createSearchGroup();
    QWidget* createRightPanel();
    void FormCreate();
    // Shutdown; false when the configuration could not be saved.
    bool FormClose();
    // While the price list update runs, nothing may touch the database or
    // open a modal dialog.
    void setUpdating(bool updating);

    bool Initialized = false;
    bool m_sizedOnce = false;
    ClientSession m_session;
    ActionManager* m_actions;
    PriceListUpdateCommand* m_update;
};
