#include "PriceChangeModel.h"

namespace {

// The tool's fields of a line in the order of the columns; the name is not one of them.
int fieldOf(int column)
{
    switch (column) {
    case PriceChangeModel::Kind:
    case PriceChangeModel::PartNumber:
        return column;
    case PriceChangeModel::GroupCode:
        return 2;
    default:
        return column - 1;
    }
}

QVariant number(const std::optional<double>& value)
{
    return value ? QVariant(*value) : QVariant();
}

} // namespace

void PriceChangeModel::setLines(std::vector<PriceChangeList::Line> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

QString PriceChangeModel::kindText(PriceChange::Kind kind)
{
    switch (kind) {
    case PriceChange::Kind::Up:
        return tr("подорожала");
    case PriceChange::Kind::Down:
        return tr("подешевела");
    case PriceChange::Kind::New:
        return tr("новая");
    case PriceChange::Kind::Removed:
        break;
    }
    return tr("снята");
}

int PriceChangeModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int PriceChangeModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PriceChangeModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const PriceChangeList::Line& line = m_lines[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == PartName)
            return line.partName;
        return index.column() == Kind ? kindText(line.kind)
                                      : PriceChangeList::fields(line).at(fieldOf(index.column()));
    case KindRole:
        return int(line.kind);
    case SortRole:
        switch (index.column()) {
        case Kind:
            return int(line.kind);
        case OldPrice:
            return number(line.oldPrice);
        case NewPrice:
            return number(line.newPrice);
        case Percent:
            return number(line.percent);
        case PartName:
            return line.partName;
        default:
            return PriceChangeList::fields(line).at(fieldOf(index.column()));
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((index.column() >= OldPrice ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant PriceChangeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const QStringList titles = {tr("Изменение"),  tr("Код товара"), tr("Наименование"),
                                       tr("Код группы"), tr("Было"),       tr("Стало"),
                                       tr("Изм. %")};
    return titles.value(section);
}
