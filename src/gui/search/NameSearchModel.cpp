#include "NameSearchModel.h"

#include "core/search/PriceGridColumns.h"

void NameSearchModel::setMatches(std::vector<NameIndex::Match> matches)
{
    beginResetModel();
    m_matches = std::move(matches);
    endResetModel();
}

int NameSearchModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_matches.size());
}

int NameSearchModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NameSearchModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const NameIndex::Match& match = m_matches[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case PartNumber:
            return match.part.partNumber;
        case PartName:
            return match.part.partName;
        case GroupName:
            return match.groupName;
        case Price:
            return PriceGridColumns::text(match.part, PriceGridColumns::Price);
        default:
            return PriceGridColumns::stockText(match.part.stockTotal());
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((index.column() >= Price ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant NameSearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case PartNumber:
        return PriceGridColumns::shownTitle(PriceGridColumns::PartNumber);
    case PartName:
        return PriceGridColumns::shownTitle(PriceGridColumns::PartName);
    case GroupName:
        return tr("Группа");
    case Price:
        return PriceGridColumns::shownTitle(PriceGridColumns::Price);
    case Stock:
        return tr("Наличие");
    default:
        return QVariant();
    }
}
