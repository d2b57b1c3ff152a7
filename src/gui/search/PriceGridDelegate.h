#pragma once

#include <QColor>
#include <QPalette>
#include <QStyledItemDelegate>

// Paints the price grid's data cells (DBGridPartsPriceDrawColumnCell) and
// gives it its cell editor: a read-only line edit, so the clerk can copy
// from a cell but never change it.
class PriceGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static const QColor kCurrentRecordColor; // sky blue
    static const QColor kRiseColor;          // dark red
    static const QColor kFallColor;          // dark green

    struct CellColours
    {
        QColor background;
        QColor text;
    };
    struct CellState
    {
        bool currentRecord = false;
        bool currentCell = false;
        bool gridHasFocus = false;        // the grid (or its cell editor) has the keyboard focus
        bool gridIsActiveControl = false; // the grid is its window's focus widget, active or not
        int priceMove = 0;                // the change column: 1 a rise, -1 a fall
    };
    // The current record is a sky-blue band; the current cell takes the
    // highlight background while the grid is its window's active control,
    // and the highlight text only while the grid has the keyboard focus.
    // A rise or fall is written in its colour, except in that focused cell.
    static CellColours colours(const CellState& state, const QPalette& palette);

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // The cell cannot change: nothing is written back.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
