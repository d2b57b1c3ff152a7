#pragma once

#include "core/order/OrderSheet.h"

#include <QAbstractTableModel>

#include <functional>

// The lines of the order as the order window shows them; the quantity is
// edited in place and written at once through the given function.
class OrderModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QuantityWriter = std::function<void(qint64 lineId, int quantity)>;

    OrderModel(QuantityWriter writeQuantity, QObject* parent);

    void setSheet(const OrderSheet& sheet);
    const OrderSheet& sheet() const { return m_sheet; }
    qint64 lineId(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    OrderSheet m_sheet;
    QuantityWriter m_writeQuantity;
};
