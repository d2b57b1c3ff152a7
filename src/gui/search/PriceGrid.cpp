#include "PriceGrid.h"

#include "core/search/PriceGridColumns.h"
#include "gui/search/PriceGridDelegate.h"
#include "gui/search/PriceListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

const QColor PriceGrid::kFixedColor(192, 220, 192);

namespace {
const int kIndicatorWidth = 11;
} // namespace

PriceGrid::PriceGrid(PriceListModel* model, QWidget* parent) : QTableView(parent)
{
    setModel(model);
    setItemDelegate(new PriceGridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTabKeyNavigation(false);

    const QString fixed = QStringLiteral("rgb(%1, %2, %3)")
                              .arg(kFixedColor.red())
                              .arg(kFixedColor.green())
                              .arg(kFixedColor.blue());
    setStyleSheet(
        QStringLiteral("QHeaderView::section { background: %1; border: none;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray; padding: 0 2px; }"
                       "QTableCornerButton::section { background: %1; border: none;"
                       " border-right: 1px solid gray; border-bottom: 1px solid gray; }")
            .arg(fixed));
    setCornerButtonEnabled(false);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsMovable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < PriceGridColumns::kGridCount; ++column)
        titles->resizeSection(column, initialWidth(column));

    QHeaderView* indicator = verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setFixedWidth(kIndicatorWidth);
    indicator->setHighlightSections(false);
    const int rowHeight = fontMetrics().height() + 3;
    indicator->setMinimumSectionSize(rowHeight);
    indicator->setDefaultSectionSize(rowHeight);

    connect(model, &QAbstractItemModel::modelReset, this, &PriceGrid::startAtFirstRecord);
}

int PriceGrid::initialWidth(int column) const
{
    switch (column) {
    case PriceGridColumns::PartNumber:
        return 120;
    case PriceGridColumns::PartName:
        return 250;
    case PriceGridColumns::Price:
        return 74;
    case PriceGridColumns::PriceUsd:
        return 72;
    default:
        break;
    }
    const int characters = column >= PriceGridColumns::FirstWarehouse ? 7 : 10;
    const QFontMetrics metrics(font());
    const int digits = metrics.horizontalAdvance(QLatin1Char('0')) * characters + 4;
    return std::max(digits, metrics.horizontalAdvance(PriceGridColumns::shownTitle(column)) + 4);
}

QMimeData* PriceGrid::tableData() const
{
    const QHeaderView* titles = horizontalHeader();
    QList<int> columns;
    for (int position = 0; position < titles->count(); ++position)
        if (!titles->isSectionHidden(titles->logicalIndex(position)))
            columns << titles->logicalIndex(position);

    QStringList lines;
    QString html = QStringLiteral("<table><tr>");
    QStringList fields;
    for (int column : columns) {
        const QString title = model()->headerData(column, Qt::Horizontal).toString();
        fields << title;
        html += QStringLiteral("<th>%1</th>").arg(title.toHtmlEscaped());
    }
    lines << fields.join(QLatin1Char('\t'));
    html += QStringLiteral("</tr>");
    for (int row = 0; row < model()->rowCount(); ++row) {
        fields.clear();
        html += QStringLiteral("<tr>");
        for (int column : columns) {
            // A tab or line break inside a value would shift the spreadsheet's cells.
            const QString text = model()->index(row, column).data().toString().simplified();
            fields << text;
            html += (PriceGridColumns::isNumber(column) ? QStringLiteral("<td align=\"right\">%1</td>")
                                                        : QStringLiteral("<td>%1</td>"))
                        .arg(text.toHtmlEscaped());
        }
        lines << fields.join(QLatin1Char('\t'));
        html += QStringLiteral("</tr>");
    }
    auto* table = new QMimeData;
    table->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    table->setHtml(html + QStringLiteral("</table>"));
    return table;
}

void PriceGrid::startAtFirstRecord()
{
    // An opened price list stands on its first record, in the column the
    // clerk was in; the reset of the model has already dropped the current cell.
    if (model()->rowCount() == 0)
        return;
    const int column =
        m_column >= 0 && !isColumnHidden(m_column) ? m_column : horizontalHeader()->logicalIndex(0);
    setCurrentIndex(model()->index(0, column));
}

void PriceGrid::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool opens =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Backspace;
    if (plain && opens && state() != EditingState && currentIndex().isValid()) {
        edit(currentIndex());
        return;
    }
    QTableView::keyPressEvent(event);
}

void PriceGrid::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    viewport()->update();
}

void PriceGrid::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void PriceGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        viewport()->update();
}

void PriceGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        m_column = current.column();
    // The band of the current record spans the whole row.
    viewport()->update();
}
