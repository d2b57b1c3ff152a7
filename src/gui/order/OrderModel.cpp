#include "OrderModel.h"

#include "core/text/RegionalFormats.h"

#include <QBrush>
#include <QPalette>

OrderModel::OrderModel(QuantityWriter writeQuantity, QObject* parent)
    : QAbstractTableModel(parent), m_sheet(Order(), {}), m_writeQuantity(std::move(writeQuantity))
{}

void OrderModel::setSheet(const OrderSheet& sheet)
{
    beginResetModel();
    m_sheet = sheet;
    m_sheet.setTranslated(true);
    endResetModel();
}

qint64 OrderModel::lineId(int row) const
{
    return m_sheet.order().lines()[size_t(row)].id;
}

int OrderModel::rowCount(const QModelIndex& parent) const
{
    // The totals are shown below the table, not as a row of it.
    return parent.isValid() ? 0 : m_sheet.rowCount() - 1;
}

int OrderModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_sheet.columnCount();
}

QVariant OrderModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const OrderSheet::Cell cell = m_sheet.cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_sheet.text(index.row(), index.column(), RegionalFormats::decimalSeparator());
    case Qt::EditRole:
        return cell.kind == OrderSheet::Kind::Number ? QVariant(int(cell.value)) : QVariant(cell.text);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((cell.kind == OrderSheet::Kind::Text ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // A withdrawn part stays until the clerk removes it, greyed.
        if (m_sheet.order().lines()[size_t(index.row())].withdrawn)
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        return QVariant();
    default:
        return QVariant();
    }
}

bool OrderModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != OrderSheet::Quantity || !index.isValid())
        return false;
    m_writeQuantity(lineId(index.row()), value.toInt());
    return true;
}

QVariant OrderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_sheet.titles().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags OrderModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == OrderSheet::Quantity ? flags | Qt::ItemIsEditable : flags;
}
