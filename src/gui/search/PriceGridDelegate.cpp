#include "PriceGridDelegate.h"

#include "gui/search/PriceListModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>

const QColor PriceGridDelegate::kCurrentRecordColor(166, 202, 240);
const QColor PriceGridDelegate::kRiseColor(139, 0, 0);
const QColor PriceGridDelegate::kFallColor(0, 100, 0);

namespace {

bool holdsFocus(const QWidget* grid, const QWidget* focus)
{
    return focus && (focus == grid || grid->isAncestorOf(focus));
}

} // namespace

PriceGridDelegate::CellColours PriceGridDelegate::colours(const CellState& state, const QPalette& palette)
{
    CellColours colours{palette.color(QPalette::Active, QPalette::Base),
                        palette.color(QPalette::Active, QPalette::Text)};
    if (state.currentCell && state.gridHasFocus) {
        colours.background = palette.color(QPalette::Active, QPalette::Highlight);
        colours.text = palette.color(QPalette::Active, QPalette::HighlightedText);
    }
    if (state.currentRecord)
        colours.background = kCurrentRecordColor;
    const bool focusedCell = state.currentCell && state.gridIsActiveControl;
    if (focusedCell)
        colours.background = palette.color(QPalette::Active, QPalette::Highlight);
    else if (state.priceMove != 0)
        colours.text = state.priceMove > 0 ? kRiseColor : kFallColor;
    return colours;
}

void PriceGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const auto* grid = qobject_cast<const QAbstractItemView*>(option.widget);
    CellState state;
    if (grid) {
        const QModelIndex current = grid->currentIndex();
        state.currentRecord = current.isValid() && current.row() == index.row();
        state.currentCell = state.currentRecord && current.column() == index.column();
        state.gridHasFocus = holdsFocus(grid, QApplication::focusWidget());
        state.gridIsActiveControl = holdsFocus(grid, grid->window()->focusWidget());
    }
    const QVariant change = index.data(PriceListModel::ChangeKindRole);
    if (change.isValid() && change.toInt() == int(PriceChange::Kind::Up))
        state.priceMove = 1;
    else if (change.isValid() && change.toInt() == int(PriceChange::Kind::Down))
        state.priceMove = -1;
    const CellColours cell = colours(state, option.palette);

    QStyleOptionViewItem text(option);
    initStyleOption(&text, index);
    text.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    text.backgroundBrush = cell.background;
    text.palette.setColor(QPalette::Text, cell.text);
    painter->fillRect(option.rect, cell.background);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, widget);
}

QWidget* PriceGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("InplaceEditor"));
    editor->setReadOnly(true);
    editor->setFrame(false);
    return editor;
}

void PriceGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    line->setText(index.data(Qt::EditRole).toString());
    line->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()));
    line->selectAll();
}

void PriceGridDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const
{}
