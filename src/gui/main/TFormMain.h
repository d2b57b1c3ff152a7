#pragma once

#include "core/session/ClientSession.h"
#include "core/storage/PriceCatalogue.h"

#include <QMainWindow>

class ActionManager;
class OrderWindow;
class CrossList;
class NameSearchWindow;
class ParametersPanel;
class PriceChangesWindow;
class PriceListUpdateCommand;
class PriceGrid;
class PriceListModel;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QToolBar;
class SearchBox;
class TFormSetup;
class ViewToggles;

// The main window: owns the session (configuration, connection, settings
// record) for the whole run, runs start-up and shutdown, and shows the
// search panel, the parameters panel and the price grid under one set of
// commands.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const QString& programDir, QWidget* parent = nullptr);
    ~TFormMain() override;

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
    SearchBox* cbSearchNr;
    CrossList* listboxSearch;
    ParametersPanel* GroupBoxParameters;
    QSplitter* Splitter1;
    QWidget* Panel2;
    QGroupBox* GroupBox2;
    PriceGrid* DBGridPartsPrice;
    // The price list of the cross number shown; closed, it has no rows.
    PriceListModel* ADODataSetPartsPrice;
    QMenu* PopupActionPriceParts;
    // The settings dialog, created hidden at start and kept for the whole run.
    TFormSetup* FormSetup;
    // The order to the supplier; made hidden at start, shown beside the window.
    OrderWindow* FormOrder;

    void actionExitProgrammExecute();
    void ActionSetupExecute();
    void actionUpdatePriceExecute();
    void actionAddToOrderExecute();
    void actionOrderExecute();
    void actionQuoteExecute();
    void actionCopyTableExecute();
    // The changes of the last update, in a window of their own.
    void actionPriceChangesExecute();
    // "Вид → Язык": saved in Tardesk.ini, used from the next start on.
    void chooseLanguage(const QString& code);
    // "Поиск по названию", a window of its own.
    void actionFindByNameExecute();

    // The last search number, letters and digits only.
    const QString& currentSearchNr() const { return CurrentSearchNr; }
    void cbSearchNrKeyUp();
    void SearchCross();
    void OpenPriceList(const QString& crossNumber);
    void listboxSearchClick();
    // Off while the price list is being replaced: Enter in the search box
    // and choosing a cross number then do nothing.
    void setSearchEnabled(bool enabled);
    // Searches for a part number as if the clerk had typed it and pressed
    // Enter; the part of that group, when given, becomes the current row.
    void searchFor(const QString& partNumber, const QString& groupCode = QString());
    // Searches for the part's short number as if the clerk had typed it,
    // then shows the part's own cross number and makes the part current.
    void showPart(const PriceRow& part);

    // A log-off, a shutdown or kill: a running update is abandoned (the old
    // list stays), open dialogs close, and the window closes as "Выход"
    // does, asking nothing; a failed save is not retried.
    void endOnSignal();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createLayout();
    QWidget* createLeftPanel();
    QGroupBox* createSearchGroup();
    QWidget* createRightPanel();
    void FormCreate();
    void prepareSearch();
    // Another counter put a new price list in place.
    void listChanged();
    // Shutdown; false when the configuration could not be saved and the
    // clerk keeps the window open.
    bool FormClose();
    // Shutdown's writing of the configuration; throws on failure.
    void saveConfiguration();
    // Start-up's wait while another program replaces the database.
    void waitForReplacement();
    void finishEnding();
    // While the price list update runs, nothing may touch the database or
    // open a modal dialog.
    void setUpdating(bool updating);
    // "В заказ" needs a current row of the price list, and no update
    // running; the quote and the copy need a price list shown.
    void updateDocumentCommands();
    // The typed part, when the price list holds it, becomes the current row.
    void selectSearchedPart();
    // The price list shown, opened again at the rates saved now when they
    // changed since, on the same row.
    void refreshRates();
    void reopenPriceList();
    // An update, or the name index being built in its window.
    bool isReplacingList() const;

    bool Initialized = false;
    bool m_sizedOnce = false;
    bool m_searchEnabled = true;
    bool m_updating = false;
    bool m_ending = false;
    bool m_closeAfterUpdate = false; // the clerk chose to interrupt the update and exit
    int m_failedCloses = 0;
    QString CurrentSearchNr;
    QString m_searchedText; // the search box's text when the search ran, for the quote
    QString m_foundNr;      // the search number that found the crosses, maybe in the other alphabet
    QString m_wantedGroup;  // the group of the part a jump to a part asked for
    QString m_priceListCross;
    PriceCatalogue::Rates m_priceListRates;
    ClientSession m_session;
    ActionManager* m_actions;
    PriceListUpdateCommand* m_update;
    ViewToggles* m_viewToggles;
    PriceChangesWindow* m_changesWindow = nullptr; // made on first use
    NameSearchWindow* m_nameWindow = nullptr;      // made on first use
};
