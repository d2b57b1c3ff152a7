#include "PriceChangesWindow.h"

#include "gui/search/PriceChangeModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

PriceChangesWindow::PriceChangesWindow(QWidget* parent)
    : QDialog(parent), m_model(new PriceChangeModel(this)), m_sorted(new QSortFilterProxyModel(this)),
      m_kind(new QComboBox(this)), m_table(new QTableView(this))
{
    setObjectName(QStringLiteral("FormPriceChanges"));
    setWindowTitle(tr("Изменения прайса"));
    resize(800, 480);

    m_kind->setObjectName(QStringLiteral("cbChangeKind"));
    m_kind->addItem(tr("Все"), -1);
    for (PriceChange::Kind kind :
         {PriceChange::Kind::Up, PriceChange::Kind::Down, PriceChange::Kind::New, PriceChange::Kind::Removed})
        m_kind->addItem(PriceChangeModel::kindText(kind), int(kind));
    connect(m_kind, &QComboBox::currentIndexChanged, this, &PriceChangesWindow::filter);

    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(PriceChangeModel::SortRole);
    m_sorted->setFilterRole(PriceChangeModel::KindRole);
    m_table->setObjectName(QStringLiteral("DBGridPriceChanges"));
    m_table->setModel(m_sorted);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    // A part number reads whole on one line; the name takes what is left.
    m_table->setWordWrap(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(PriceChangeModel::PartName, QHeaderView::Stretch);
    // The list's own order until the clerk sorts by a column.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    connect(m_table, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        emit partChosen(m_sorted->index(index.row(), PriceChangeModel::PartNumber).data().toString(),
                        m_sorted->index(index.row(), PriceChangeModel::GroupCode).data().toString());
    });

    auto* filterLine = new QHBoxLayout;
    filterLine->addWidget(new QLabel(tr("Показать:"), this));
    filterLine->addWidget(m_kind);
    filterLine->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterLine);
    layout->addWidget(m_table);
}

void PriceChangesWindow::showChanges(std::vector<PriceChangeList::Line> lines)
{
    m_model->setLines(std::move(lines));
    show();
    raise();
    activateWindow();
}

void PriceChangesWindow::filter()
{
    const int kind = m_kind->currentData().toInt();
    m_sorted->setFilterRegularExpression(kind < 0 ? QString() : QStringLiteral("^%1$").arg(kind));
}
