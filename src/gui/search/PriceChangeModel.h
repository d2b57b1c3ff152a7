#pragma once

#include "core/search/PriceChangeList.h"

#include <QAbstractTableModel>

#include <vector>

// The changes of the last update as a table for the clerk: kind, part
// number, group, old and new retail price and the change in percent.
class PriceChangeModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The value a column sorts by: numbers as numbers.
    static constexpr int SortRole = Qt::UserRole;
    // PriceChange::Kind as int, on every column.
    static constexpr int KindRole = Qt::UserRole + 1;

    enum Column
    {
        Kind,
        PartNumber,
        PartName,
        GroupCode,
        OldPrice,
        NewPrice,
        Percent,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(std::vector<PriceChangeList::Line> lines);
    // The kind's name as the clerk reads it.
    static QString kindText(PriceChange::Kind kind);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<PriceChangeList::Line> m_lines;
};
