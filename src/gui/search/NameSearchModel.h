#pragma once

#include "core/storage/NameIndex.h"

#include <QAbstractTableModel>

#include <vector>

// The parts a name search found, as its window lists them: part number,
// name, group name, retail price as the price grid writes it, and the stock
// of all warehouses together.
class NameSearchModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        PartNumber,
        PartName,
        GroupName,
        Price,
        Stock,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setMatches(std::vector<NameIndex::Match> matches);
    const std::vector<NameIndex::Match>& matches() const { return m_matches; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<NameIndex::Match> m_matches;
};
