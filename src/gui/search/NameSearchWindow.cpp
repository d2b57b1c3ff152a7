#include "NameSearchWindow.h"

#include "core/errors/Error.h"
#include "core/session/ClientSession.h"
#include "core/session/ShopStorage.h"
#include "core/text/NameWords.h"
#include "gui/search/NameSearchModel.h"
#include "gui/shared/MessageBoxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// How often the window is repainted while the index is built.
const int kBuildRefreshMs = 100;
const int kProgressSteps = 1000;
} // namespace

NameSearchWindow::NameSearchWindow(ClientSession& session, std::function<void(bool)> setBusy, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_setBusy(std::move(setBusy)),
      m_thread(new NameSearchThread(session.ProgramDir(), this)), m_model(new NameSearchModel(this)),
      m_field(new QLineEdit(this)), m_table(new QTableView(this)), m_status(new QLabel(this)),
      m_progress(new QProgressBar(this))
{
    setObjectName(QStringLiteral("FormNameSearch"));
    setWindowTitle(tr("Поиск по названию"));
    resize(760, 480);

    m_field->setObjectName(QStringLiteral("edNameSearch"));
    m_field->installEventFilter(this);
    m_typingPause.setSingleShot(true);
    m_typingPause.setInterval(kTypingPauseMs);
    connect(&m_typingPause, &QTimer::timeout, this, &NameSearchWindow::search);
    connect(m_field, &QLineEdit::textEdited, &m_typingPause, qOverload<>(&QTimer::start));
    connect(m_field, &QLineEdit::returnPressed, this, &NameSearchWindow::enterPressed);

    m_table->setObjectName(QStringLiteral("DBGridNameSearch"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Fixed row heights: a thousand rows lay out without measuring each.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    QHeaderView* titles = m_table->horizontalHeader();
    titles->setSectionResizeMode(NameSearchModel::PartName, QHeaderView::Stretch);
    titles->resizeSection(NameSearchModel::PartNumber, 130);
    titles->resizeSection(NameSearchModel::GroupName, 140);
    titles->resizeSection(NameSearchModel::Price, 100);
    titles->resizeSection(NameSearchModel::Stock, 70);
    connect(m_table, &QAbstractItemView::activated, this, &NameSearchWindow::choose);

    m_status->setObjectName(QStringLiteral("lbNameFound"));
    m_progress->setObjectName(QStringLiteral("pbNameIndex"));
    m_progress->setRange(0, kProgressSteps);
    m_progress->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_field);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
}

void NameSearchWindow::showWindow()
{
    m_buildTried = false;
    show();
    raise();
    activateWindow();
    m_field->setFocus();
    m_field->selectAll();
    search();
}

void NameSearchWindow::setUpdating(bool updating)
{
    m_updating = updating;
    m_field->setEnabled(!updating);
    if (updating) {
        m_typingPause.stop();
        m_thread->release();
        return;
    }
    if (isVisible()) {
        if (isActiveWindow())
            m_field->setFocus();
        search();
    }
}

void NameSearchWindow::listChanged()
{
    if (m_updating)
        return;
    m_thread->release();
    if (isVisible())
        search();
}

void NameSearchWindow::search()
{
    m_typingPause.stop();
    if (m_updating)
        return;
    const QStringList query = NameWords::query(m_field->text());
    m_thread->find(query, kShownLimit,
                   [this, query](const NameSearchThread::Answer& answer) { showAnswer(query, answer); });
}

void NameSearchWindow::enterPressed()
{
    const QStringList query = NameWords::query(m_field->text());
    if (m_typingPause.isActive() || query != m_shownQuery)
        search();
    else if (m_table->currentIndex().isValid())
        choose(m_table->currentIndex());
}

void NameSearchWindow::showAnswer(const QStringList& query, const NameSearchThread::Answer& answer)
{
    using State = NameSearchThread::Answer::State;
    m_shownQuery = query;
    if (answer.state != State::Found || query.isEmpty())
        m_model->setMatches({});
    switch (answer.state) {
    case State::Failed:
        m_status->setText(answer.error);
        return;
    case State::NotBuilt:
        // A clerk's role cannot index a list on the server; the update there can.
        if (!ShopStorage::serverConnection(m_session.ProgramDir()).isEmpty())
            m_status->setText(tr("Поиск по названию недоступен: обновите прайс-лист"));
        else if (!m_buildTried)
            buildIndex();
        else
            m_status->setText(m_buildError);
        return;
    case State::Found:
        break;
    }
    if (query.isEmpty()) {
        m_status->setText(tr("Введите не менее двух букв или цифр"));
        return;
    }
    const qint64 total = answer.found.total;
    m_model->setMatches(answer.found.shown);
    if (m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, NameSearchModel::PartNumber));
    m_status->setText(total > qint64(m_model->rowCount())
                          ? tr("Показаны первые %1 из %2").arg(m_model->rowCount()).arg(total)
                          : tr("Найдено: %1").arg(total));
}

void NameSearchWindow::buildIndex()
{
    m_buildTried = true;
    m_buildError.clear();
    m_building = true;
    m_stopBuilding = false;
    m_setBusy(true);
    m_status->setText(tr("Построение указателя названий…"));
    m_progress->setValue(0);
    m_progress->show();
    QElapsedTimer sinceRefresh;
    sinceRefresh.start();
    const auto refresh = [&] {
        if (sinceRefresh.elapsed() < kBuildRefreshMs)
            return;
        repaint();
        QCoreApplication::processEvents();
        sinceRefresh.restart();
    };
    try {
        m_session.storage().buildNameIndex({[&] {
                                                refresh();
                                                return m_stopBuilding;
                                            },
                                            [&](qint64 done, qint64 total) {
                                                buildProgress(done, total);
                                                refresh();
                                            }});
    } catch (const std::exception& error) {
        m_buildError = Error::messageOf(error);
    }
    if (!m_session.isDatabaseOpen()) {
        // The list was let go of to be indexed: carry on with it either way.
        try {
            m_session.reopenDatabase();
        } catch (const std::exception& error) {
            if (m_buildError.isEmpty())
                m_buildError = Error::messageOf(error);
        }
    }
    m_progress->hide();
    m_building = false;
    m_setBusy(false);
}

void NameSearchWindow::buildProgress(qint64 done, qint64 total)
{
    if (total > 0)
        m_progress->setValue(int(double(qBound<qint64>(0, done, total)) / double(total) * kProgressSteps));
}

void NameSearchWindow::choose(const QModelIndex& index)
{
    if (!index.isValid() || m_updating)
        return;
    const PriceRow& part = m_model->matches()[size_t(index.row())].part;
    if (part.crossNumber.isEmpty()) {
        MessageBoxes::information(this, tr("У позиции нет номера замены"));
        return;
    }
    emit partChosen(part);
}

bool NameSearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The arrows move through the parts while the field keeps the focus.
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_table, event);
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
