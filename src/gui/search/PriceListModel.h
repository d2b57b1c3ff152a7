#pragma once

#include "core/storage/PriceRow.h"

#include <QAbstractTableModel>

#include <vector>

// The price list of one cross number as the grid shows it: the sixteen
// grid columns over its rows. Closed, it keeps its
// columns and has no rows, so column settings hold until the next opening.
class PriceListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The change column's kind (PriceChange::Kind as int), for its colour.
    static constexpr int ChangeKindRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // The rows of one cross number's price list (a group has a handful).
    void open(std::vector<PriceRow> rows);
    void close();
    bool isOpen() const { return m_open; }
    // In the grid's order.
    const std::vector<PriceRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display and edit roles give the text the clerk sees ("0.00" amounts),
    // so copying and screen readers get the same.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Editable only so that the grid opens its read-only cell editor.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<PriceRow> m_rows;
    bool m_open = false;
};
