#include "PriceGridColumns.h"

#include "core/storage/PriceChange.h"
#include "core/text/RegionalFormats.h"

namespace {

QString money(const std::optional<double>& value)
{
    return value ? RegionalFormats::formatMoney(*value) : QString();
}

} // namespace

QString PriceGridColumns::title(int column)
{
    switch (column) {
    case PartNumber:
        return QStringLiteral("Код товара");
    case PartName:
        return QStringLiteral("Наименование");
    case Vhod:
        return QStringLiteral("Вход");
    case Price:
        return QStringLiteral("Розница UAH");
    case PriceUsd:
        return QStringLiteral("Розница USD");
    case PriceEur:
        return QStringLiteral("Розница EUR");
    case kChange:
        return QStringLiteral("Изм. %");
    default:
        break;
    }
    if (column < FirstWarehouse || column >= kCount)
        return QString();
    return QStringLiteral("Скл №") + QString::number(column - FirstWarehouse + 1);
}

QString PriceGridColumns::text(const PriceRow& row, int column)
{
    switch (column) {
    case PartNumber:
        return row.partNumber;
    case PartName:
        return row.partName;
    case Vhod:
        return money(row.vhod);
    case Price:
        return money(row.price);
    case PriceUsd:
        return money(row.priceUsd);
    case PriceEur:
        return money(row.priceEur);
    case kChange:
        if (row.change == PriceChange::Kind::New)
            return QStringLiteral("нов.");
        return row.change ? PriceChange::percentText(*row.change, row.oldPrice, row.price,
                                                     RegionalFormats::decimalSeparator())
                          : QString();
    default:
        break;
    }
    if (column < FirstWarehouse || column >= kCount)
        return QString();
    return stockText(row.stock[size_t(column - FirstWarehouse)]);
}

QString PriceGridColumns::stockText(const std::optional<qint64>& stock)
{
    return stock ? QString::number(*stock) : QString();
}

bool PriceGridColumns::isNumber(int column)
{
    return column >= Vhod && column < kGridCount;
}
