#include "TFormMain.h"

#include "core/errors/Error.h"
#include "core/search/PriceChangeList.h"
#include "core/search/PriceGridColumns.h"
#include "core/session/InterfaceLanguage.h"
#include "core/storage/OrderStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/text/CaseFolding.h"
#include "core/text/NormalizePartNumber.h"
#include "core/text/RegionalFormats.h"
#include "core/text/UnicodeCaseFolding.h"
#include "document/Quote.h"
#include "gui/main/EditCommands.h"
#include "gui/main/TerminationSignals.h"
#include "gui/order/OrderWindow.h"
#include "gui/search/CrossList.h"
#include "gui/search/NameSearchWindow.h"
#include "gui/search/ParametersPanel.h"
#include "gui/search/PriceChangesWindow.h"
#include "gui/search/PriceGrid.h"
#include "gui/search/PriceListModel.h"
#include "gui/search/SearchBox.h"
#include "gui/search/ViewToggles.h"
#include "gui/setup/TFormSetup.h"
#include "gui/shared/ActionManager.h"
#include "gui/shared/MessageBoxes.h"
#include "gui/shared/UiFont.h"
#include "gui/update/PriceListUpdateCommand.h"
#include "gui/update/WaitProgr.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDebug>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {
const QSize kOuterSize(910, 634);
const int kLeftPanelWidth = 157;
const int kSearchGroupHeight = 345;
const int kSearchColumnWidth = 141;
const QSize kCrossListSize(kSearchColumnWidth, 237);
const int kSplitterWidth = 5;
const int kStatusBarHeight = 19;
// How often the end on a signal looks whether the update and the dialogs have unwound.
const int kEndingRetryMs = 20;
// How long the status bar tells what "В заказ" did.
const int kOrderedMessageMs = 4000;
} // namespace

TFormMain::TFormMain(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), m_session(programDir), m_actions(new ActionManager(this))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(tr("Клиент Velmora - Tardesk"));
    setFont(UiFont::eightPoint(QStringLiteral("MS Sans Serif")));
    new EditCommands(*m_actions);
    connect(m_actions->actionExitProgramm, &QAction::triggered, this, &TFormMain::actionExitProgrammExecute);
    connect(m_actions->ActionSetup, &QAction::triggered, this, &TFormMain::ActionSetupExecute);
    connect(m_actions->actionUpdatePrice, &QAction::triggered, this, &TFormMain::actionUpdatePriceExecute);
    connect(m_actions->actionAddToOrder, &QAction::triggered, this, &TFormMain::actionAddToOrderExecute);
    connect(m_actions->actionOrder, &QAction::triggered, this, &TFormMain::actionOrderExecute);
    connect(m_actions->actionQuote, &QAction::triggered, this, &TFormMain::actionQuoteExecute);
    connect(m_actions->actionCopyTable, &QAction::triggered, this, &TFormMain::actionCopyTableExecute);
    connect(m_actions->actionPriceChanges, &QAction::triggered, this, &TFormMain::actionPriceChangesExecute);
    for (QAction* language : m_actions->actionLanguage)
        connect(language, &QAction::triggered, this,
                [this, language] { chooseLanguage(language->data().toString()); });
    connect(m_actions->actionFindByName, &QAction::triggered, this, &TFormMain::actionFindByNameExecute);
    WaitProgr::setOwner(this);
    m_update =
        new PriceListUpdateCommand(m_session, this,
                                   {[this] { ADODataSetPartsPrice->close(); },
                                    [this] { MessageBoxes::guard(this, [this] { reopenPriceList(); }); },
                                    [this](bool updating) { setUpdating(updating); }});
    createLayout();
    resize(kOuterSize);
    m_viewToggles = new ViewToggles(*m_actions, DBGridPartsPrice->horizontalHeader(), GroupBoxParameters);
    connect(cbSearchNr, &SearchBox::enterReleased, this, &TFormMain::cbSearchNrKeyUp);
    connect(listboxSearch, &CrossList::lineChosen, this, &TFormMain::listboxSearchClick);
    connect(new TerminationSignals(this), &TerminationSignals::received, this, &TFormMain::endOnSignal);

    FormCreate();
    FormSetup = new TFormSetup(m_session.settings(), this);
    connect(&m_session.settings(), &SettingsRecord::stateChanged, this, [this] {
        if (m_session.settings().state() == SettingsRecord::State::Browse)
            MessageBoxes::guard(this, [this] { refreshRates(); });
    });
    FormOrder = new OrderWindow(
        m_session,
        [this] {
            std::vector<int> shown;
            for (int w = 0; w < int(m_actions->actionPriceFieldWH.size()); ++w)
                if (m_actions->actionPriceFieldWH[size_t(w)]->isChecked())
                    shown.push_back(w);
            return shown;
        },
        this);
    for (QAction* warehouse : m_actions->actionPriceFieldWH)
        connect(warehouse, &QAction::toggled, FormOrder, [this] {
            if (FormOrder->isVisible())
                FormOrder->reread();
        });
    connect(FormOrder, &OrderWindow::partChosen, this, &TFormMain::searchFor);
    updateDocumentCommands();
}

void TFormMain::actionAddToOrderExecute()
{
    const QModelIndex current = DBGridPartsPrice->currentIndex();
    // Ins while a menu is open belongs to the menu, not to the grid behind it.
    if (m_updating || !current.isValid() || QApplication::activePopupWidget() ||
        ActionMainMenuBar1->activeAction())
        return;
    const PriceRow& part = ADODataSetPartsPrice->rows()[size_t(current.row())];
    MessageBoxes::guard(this, [&] {
        const int quantity = m_session.storage().order().add(part, 1);
        StatusBar1->showMessage(tr("В заказе: %1 — %2 шт.").arg(part.partNumber).arg(quantity),
                                kOrderedMessageMs);
    });
    if (FormOrder->isVisible())
        FormOrder->reread();
}

void TFormMain::actionOrderExecute()
{
    FormOrder->open();
}

void TFormMain::updateDocumentCommands()
{
    m_actions->actionAddToOrder->setEnabled(!m_updating && DBGridPartsPrice->currentIndex().isValid());
    const bool shown = ADODataSetPartsPrice->rowCount() > 0;
    m_actions->actionQuote->setEnabled(shown);
    m_actions->actionCopyTable->setEnabled(shown);
}

void TFormMain::actionQuoteExecute()
{
    // A document for the customer agrees with itself: prices at the rates it names.
    if (!MessageBoxes::guard(this, [this] { refreshRates(); }) || ADODataSetPartsPrice->rowCount() == 0)
        return;
    Quote quote = Quote::fromSettings(m_session.settings());
    quote.searchNumber = m_searchedText;
    quote.rows = ADODataSetPartsPrice->rows();
    const QHeaderView* titles = DBGridPartsPrice->horizontalHeader();
    quote.showUsd = !titles->isSectionHidden(PriceGridColumns::PriceUsd);
    quote.showEur = !titles->isSectionHidden(PriceGridColumns::PriceEur);
    QPrintPreviewDialog preview(this);
    preview.setObjectName(QStringLiteral("dlgQuotePreview"));
    preview.setWindowTitle(tr("Предложение клиенту"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&quote](QPrinter* printer) { quote.print(*printer); });
    preview.exec();
}

void TFormMain::actionCopyTableExecute()
{
    if (MessageBoxes::guard(this, [this] { refreshRates(); }) && ADODataSetPartsPrice->rowCount() > 0)
        QGuiApplication::clipboard()->setMimeData(DBGridPartsPrice->tableData());
}

TFormMain::~TFormMain()
{
    if (m_ending)
        MessageBoxes::setSilenced(false);
}

void TFormMain::ActionSetupExecute()
{
    FormSetup->showModalIfHidden();
}

void TFormMain::actionUpdatePriceExecute()
{
    m_update->execute();
}

void TFormMain::actionPriceChangesExecute()
{
    MessageBoxes::guard(this, [this] {
        if (!m_changesWindow) {
            m_changesWindow = new PriceChangesWindow(this);
            connect(m_changesWindow, &PriceChangesWindow::partChosen, this, &TFormMain::searchFor);
        }
        m_changesWindow->showChanges(PriceChangeList::read(m_session.storage().priceChanges()));
    });
}

void TFormMain::chooseLanguage(const QString& code)
{
    const bool saved = MessageBoxes::guard(this, [&] {
        if (IniFile* ini = m_session.iniFile()) {
            InterfaceLanguage::save(*ini, code);
            ini->UpdateFile();
        }
    });
    if (saved)
        MessageBoxes::information(this, tr("Язык окон сменится при следующем запуске программы."));
}

void TFormMain::actionFindByNameExecute()
{
    if (!m_nameWindow) {
        m_nameWindow = new NameSearchWindow(
            m_session, [this](bool busy) { setUpdating(busy); }, this);
        m_nameWindow->setUpdating(m_updating);
        connect(m_nameWindow, &NameSearchWindow::partChosen, this, &TFormMain::showPart);
    }
    m_nameWindow->showWindow();
}

void TFormMain::showPart(const PriceRow& part)
{
    if (!m_searchEnabled)
        return;
    searchFor(part.shortPartNumber);
    const int line = int(listboxSearch->lines().indexOf(part.crossNumber));
    if (line < 0)
        return;
    listboxSearch->setCurrentRow(line);
    if (m_priceListCross != part.crossNumber &&
        !MessageBoxes::guard(this, [&] { OpenPriceList(part.crossNumber); }))
        return;
    const std::vector<PriceRow>& rows = ADODataSetPartsPrice->rows();
    for (int row = 0; row < int(rows.size()); ++row) {
        const PriceRow& shown = rows[size_t(row)];
        if (shown.partNumber == part.partNumber && shown.groupCode == part.groupCode) {
            DBGridPartsPrice->setCurrentIndex(
                ADODataSetPartsPrice->index(row, std::max(DBGridPartsPrice->currentIndex().column(), 0)));
            break;
        }
    }
    DBGridPartsPrice->setFocus();
}

bool TFormMain::isReplacingList() const
{
    return m_update->isRunning() || (m_nameWindow && m_nameWindow->isBuilding());
}

void TFormMain::searchFor(const QString& partNumber, const QString& groupCode)
{
    if (!m_searchEnabled)
        return;
    activateWindow();
    cbSearchNr->setEditText(partNumber);
    m_wantedGroup = groupCode;
    cbSearchNrKeyUp();
    m_wantedGroup.clear();
}

void TFormMain::selectSearchedPart()
{
    const std::vector<PriceRow>& rows = ADODataSetPartsPrice->rows();
    int chosen = -1;
    for (int row = 0; row < int(rows.size()); ++row) {
        if (!CaseFolding::equal(NormalizePartNumber(rows[size_t(row)].partNumber), m_foundNr))
            continue;
        if (chosen < 0)
            chosen = row;
        if (!m_wantedGroup.isEmpty() &&
            UnicodeCaseFolding::equal(rows[size_t(row)].groupCode, m_wantedGroup)) {
            chosen = row;
            break;
        }
    }
    if (chosen >= 0)
        DBGridPartsPrice->setCurrentIndex(
            ADODataSetPartsPrice->index(chosen, std::max(DBGridPartsPrice->currentIndex().column(), 0)));
}

void TFormMain::refreshRates()
{
    if (!ADODataSetPartsPrice->isOpen())
        return;
    const PriceCatalogue::Rates saved = m_session.search().rates();
    if (saved.usd != m_priceListRates.usd || saved.eur != m_priceListRates.eur)
        reopenPriceList();
}

void TFormMain::reopenPriceList()
{
    if (m_priceListCross.isEmpty() || !m_session.isDatabaseOpen())
        return;
    const QModelIndex current = DBGridPartsPrice->currentIndex();
    OpenPriceList(m_priceListCross);
    if (current.isValid() && current.row() < ADODataSetPartsPrice->rowCount())
        DBGridPartsPrice->setCurrentIndex(ADODataSetPartsPrice->index(current.row(), current.column()));
}

void TFormMain::setUpdating(bool updating)
{
    if (!updating && m_closeAfterUpdate)
        QTimer::singleShot(0, this, &QWidget::close);
    for (QAction* action : {m_actions->actionUpdatePrice, m_actions->ActionSetup,
                            m_actions->actionExitProgramm, m_actions->actionPriceChanges})
        action->setEnabled(!updating);
    setSearchEnabled(!updating);
    m_updating = updating;
    updateDocumentCommands();
    FormOrder->setChangesEnabled(!updating);
    // Prices now come from the new list.
    if (!updating && FormOrder->isVisible())
        FormOrder->reread();
    if (m_nameWindow)
        m_nameWindow->setUpdating(updating);
}

void TFormMain::createLayout()
{
    ActionMainMenuBar1 = m_actions->createMenuBar(this);
    setMenuBar(ActionMainMenuBar1);
    ToolBar1 = m_actions->createToolBar(this);
    addToolBar(ToolBar1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(createLeftPanel());
    Splitter1->addWidget(createRightPanel());
    // A wider window widens the grid; only dragging changes the left panel.
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kLeftPanelWidth, kOuterSize.width() - kLeftPanelWidth - kSplitterWidth});
    setCentralWidget(Splitter1);
}

QWidget* TFormMain::createLeftPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // Narrower than its content is allowed: the content is then cut off.
    Panel1->setMinimumWidth(30);
    auto* layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createSearchGroup());
    GroupBoxParameters = new ParametersPanel(m_session.settings(), Panel1);
    layout->addWidget(GroupBoxParameters, 1);
    // Keeps the search group at the top while the parameters are hidden.
    layout->addStretch(0);
    return Panel1;
}

QGroupBox* TFormMain::createSearchGroup()
{
    GroupBox1 = new QGroupBox(tr(" Поиск "), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(kSearchGroupHeight);

    auto* caption = new QWidget(GroupBox1);
    caption->setFixedWidth(kSearchColumnWidth);
    auto* captionLayout = new QHBoxLayout(caption);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    captionLayout->addWidget(new QLabel(tr("Код товара"), caption));
    lbFound = new QLabel(caption);
    lbFound->setObjectName(QStringLiteral("lbFound"));
    lbFound->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = lbFound->font();
    bold.setBold(true);
    lbFound->setFont(bold);
    captionLayout->addWidget(lbFound, 1);

    cbSearchNr = new SearchBox(GroupBox1);
    cbSearchNr->setObjectName(QStringLiteral("cbSearchNr"));
    cbSearchNr->setFixedWidth(kSearchColumnWidth);

    listboxSearch = new CrossList(GroupBox1);
    listboxSearch->setObjectName(QStringLiteral("listboxSearch"));
    listboxSearch->setFixedSize(kCrossListSize);

    auto* layout = new QVBoxLayout(GroupBox1);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(2);
    layout->addWidget(caption, 0, Qt::AlignLeft);
    layout->addWidget(cbSearchNr, 0, Qt::AlignLeft);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(tr("Варианты заменяемости"), GroupBox1), 0, Qt::AlignLeft);
    layout->addWidget(listboxSearch, 0, Qt::AlignLeft);
    layout->addStretch(1);
    return GroupBox1;
}

QWidget* TFormMain::createRightPanel()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    GroupBox2 = new QGroupBox(tr(" Прайс-лист (с заменами)"), Panel2);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    layout->addWidget(GroupBox2);

    ADODataSetPartsPrice = new PriceListModel(this);
    ADODataSetPartsPrice->setObjectName(QStringLiteral("ADODataSetPartsPrice"));
    DBGridPartsPrice = new PriceGrid(ADODataSetPartsPrice, GroupBox2);
    DBGridPartsPrice->setObjectName(QStringLiteral("DBGridPartsPrice"));
    auto* groupLayout = new QVBoxLayout(GroupBox2);
    groupLayout->setContentsMargins(4, 4, 4, 4);
    groupLayout->addWidget(DBGridPartsPrice);

    PopupActionPriceParts = m_actions->createGridMenu(DBGridPartsPrice);
    // Ins then acts while the grid itself has the focus.
    DBGridPartsPrice->addAction(m_actions->actionAddToOrder);
    // After the grid's own handler, which puts the cursor on the first record.
    connect(ADODataSetPartsPrice, &QAbstractItemModel::modelReset, this, &TFormMain::updateDocumentCommands);
    connect(DBGridPartsPrice->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TFormMain::updateDocumentCommands);
    // The grid's title row and indicator column show the same menu as its cells.
    const auto popupFrom = [this](QWidget* area) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        const QWidget* origin = area == DBGridPartsPrice ? DBGridPartsPrice->viewport() : area;
        connect(area, &QWidget::customContextMenuRequested, this, [this, origin](const QPoint& pos) {
            PopupActionPriceParts->popup(origin->mapToGlobal(pos));
        });
    };
    popupFrom(DBGridPartsPrice);
    popupFrom(DBGridPartsPrice->horizontalHeader());
    popupFrom(DBGridPartsPrice->verticalHeader());
    return Panel2;
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_sizedOnce)
        return;
    m_sizedOnce = true;
    // The window's size counts its frame, where the window system has one.
    if (QWindow* window = windowHandle())
        resize(kOuterSize.shrunkBy(window->frameMargins()));
    // Once the window is painted, so the clerk's first search is as quick as the rest.
    QTimer::singleShot(0, this, &TFormMain::prepareSearch);
}

void TFormMain::prepareSearch()
{
    if (!m_session.isDatabaseOpen())
        return;
    try {
        m_session.storage().catalogue().prepare();
    } catch (const std::exception&) {
        // Nothing to prepare (no PRICE table, say): the search itself reports it.
    }
}

void TFormMain::FormCreate()
{
    Initialized = false;
    RegionalFormats::freeze();
    MessageBoxes::guard(this, [this] {
        m_session.openIniFile();
        cbSearchNr->LoadSearchHistory(*m_session.iniFile());
        m_viewToggles->RestoreViewToggles(*m_session.iniFile());
        // The price list statements are compiled when opened: a file without
        // PRICE still starts, and each search reports the engine's message.
        m_session.openDatabase([this] { waitForReplacement(); });
        // Told on a thread of the storage's: handled on the window's own.
        m_session.storage().watchListChanges(
            [this] { QMetaObject::invokeMethod(this, &TFormMain::listChanged, Qt::QueuedConnection); });
        Initialized = true;
    });
    WaitProgr::HideWaitForm();
}

void TFormMain::waitForReplacement()
{
    if (m_ending)
        throw Error(tr("Запуск прерван."));
    // Rather than a blank hang while another copy's update replaces the file.
    WaitProgr::ShowWaitForm(tr("Ожидание обновления базы ..."));
}

void TFormMain::cbSearchNrKeyUp()
{
    if (!m_searchEnabled || cbSearchNr->currentText().isEmpty())
        return;
    MessageBoxes::guard(this, [this] {
        m_searchedText = cbSearchNr->currentText();
        CurrentSearchNr = PartSearch::searchNumber(cbSearchNr->currentText());
        cbSearchNr->AddSearchNr(CurrentSearchNr);
        SearchCross();
    });
}

void TFormMain::SearchCross()
{
    const QStringList crosses = m_session.search().crossesOf(CurrentSearchNr, &m_foundNr);
    ADODataSetPartsPrice->close();
    listboxSearch->setLines(crosses);
    if (crosses.isEmpty()) {
        lbFound->setText(tr("не найден"));
        return;
    }
    if (crosses.size() > 1)
        MessageBoxes::information(this, tr("Имеется несколько замен"));
    OpenPriceList(crosses.first());
    selectSearchedPart();
    DBGridPartsPrice->setFocus();
    lbFound->setText(QStringLiteral("Ok"));
}

void TFormMain::OpenPriceList(const QString& crossNumber)
{
    const PartSearch search = m_session.search();
    m_priceListCross = crossNumber;
    m_priceListRates = search.rates();
    ADODataSetPartsPrice->open(search.priceList(crossNumber));
}

void TFormMain::listboxSearchClick()
{
    if (!m_searchEnabled)
        return;
    MessageBoxes::guard(this, [this] {
        ADODataSetPartsPrice->close();
        const int line = listboxSearch->currentRow();
        if (line < 0)
            return;
        // Only the opening is answered by the error dialog; the search
        // goes on from the grid either way.
        try {
            OpenPriceList(listboxSearch->item(line)->text());
        } catch (const std::exception& error) {
            MessageBoxes::errorDialog(this, Error::messageOf(error));
        }
        DBGridPartsPrice->setFocus();
    });
}

void TFormMain::setSearchEnabled(bool enabled)
{
    m_searchEnabled = enabled;
    listboxSearch->setEnabled(enabled);
}

void TFormMain::actionExitProgrammExecute()
{
    // The cross-number search holds nothing open between searches; the
    // price list is the one query to close.
    ADODataSetPartsPrice->close();
    m_session.closeDatabase();
    if (!close()) {
        // The configuration could not be saved and the window stays open:
        // give the clerk a working client back.
        MessageBoxes::guard(this, [this] { m_session.reopenDatabase(); });
    }
}

void TFormMain::saveConfiguration()
{
    if (IniFile* ini = m_session.iniFile()) {
        cbSearchNr->SaveSearchHistory(*ini);
        m_viewToggles->SaveViewToggles(*ini);
        ini->UpdateFile();
    }
}

bool TFormMain::FormClose()
{
    if (MessageBoxes::guard(this, [this] { saveConfiguration(); }))
        return true;
    // A configuration that cannot be written must not trap the clerk.
    if (m_ending || ++m_failedCloses < 2)
        return false;
    return MessageBoxes::ask(this, tr("Закрыть программу без сохранения настроек?")) ==
           MessageBoxes::Answer::Yes;
}

void TFormMain::endOnSignal()
{
    if (m_ending)
        return;
    m_ending = true;
    MessageBoxes::setSilenced(true);
    m_update->abandon();
    if (m_nameWindow)
        m_nameWindow->stopBuilding();
    // Each dialog leaves its own loop once control gets back there.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        if (QApplication::activeModalWidget() == modal)
            modal->hide();
    }
    QTimer::singleShot(0, this, &TFormMain::finishEnding);
}

void TFormMain::finishEnding()
{
    if (isReplacingList() || QApplication::activeModalWidget()) {
        QTimer::singleShot(kEndingRetryMs, this, &TFormMain::finishEnding);
        return;
    }
    ADODataSetPartsPrice->close();
    m_session.closeDatabase();
    bool saved = true;
    if (Initialized) {
        try {
            saveConfiguration();
        } catch (const std::exception& error) {
            qWarning().noquote() << Error::messageOf(error);
            saved = false;
        }
    }
    close();
    if (!saved)
        QCoreApplication::exit(1);
}

void TFormMain::listChanged()
{
    // The grid stays as it is until the next search; what shows the list's
    // date, the order and the changes are read again.
    if (m_updating || m_ending || !m_session.isDatabaseOpen())
        return;
    MessageBoxes::guard(this, [this] {
        SettingsRecord& settings = m_session.settings();
        // An edit in progress keeps the clerk's values.
        if (settings.isOpen() && !settings.isEditing()) {
            settings.close();
            settings.open(m_session.storage().settings());
        }
    });
    if (FormOrder->isVisible())
        FormOrder->reread();
    if (m_changesWindow && m_changesWindow->isVisible())
        MessageBoxes::guard(this, [this] {
            m_changesWindow->showChanges(PriceChangeList::read(m_session.storage().priceChanges()));
        });
    if (m_nameWindow)
        m_nameWindow->listChanged();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (m_update->isRunning()) {
        event->ignore();
        // Interrupted, the update leaves the list as it was; the window
        // closes once it has unwound.
        if (!m_closeAfterUpdate && !m_ending &&
            MessageBoxes::ask(this, tr("Идёт обновление прайс-листа. Прервать его и выйти?")) ==
                MessageBoxes::Answer::Yes) {
            m_closeAfterUpdate = true;
            m_update->abandon();
        }
        return;
    }
    // An index being built stops; the list stays as it was, unindexed.
    if (isReplacingList()) {
        event->ignore();
        m_closeAfterUpdate = true;
        m_nameWindow->stopBuilding();
        return;
    }
    // The end on a signal has saved what it could already.
    if (m_ending) {
        event->accept();
        return;
    }
    if (Initialized && !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
