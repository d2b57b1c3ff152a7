#include "PriceListModel.h"

#include "core/search/PriceGridColumns.h"

void PriceListModel::open(std::vector<PriceRow> rows)
{
    close();
    beginResetModel();
    m_rows = std::move(rows);
    m_open = true;
    endResetModel();
}

void PriceListModel::close()
{
    if (!m_open)
        return;
    beginResetModel();
    m_rows.clear();
    m_open = false;
    endResetModel();
}

int PriceListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PriceListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : PriceGridColumns::kGridCount;
}

QVariant PriceListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return PriceGridColumns::shownText(m_rows[size_t(index.row())], index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            (PriceGridColumns::isNumber(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case ChangeKindRole: {
        const std::optional<PriceChange::Kind>& change = m_rows[size_t(index.row())].change;
        return index.column() == PriceGridColumns::kChange && change ? QVariant(int(*change)) : QVariant();
    }
    default:
        return QVariant();
    }
}

QVariant PriceListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= PriceGridColumns::kGridCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return PriceGridColumns::shownTitle(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags PriceListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
