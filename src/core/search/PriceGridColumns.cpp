#include "PriceGridColumns.h"

#include "core/storage/PriceChange.h"
#include "core/text/RegionalFormats.h"

#include <QCoreApplication>

namespace {

QString money(const std::optional<double>& value)
{
    return value ? RegionalFormats::formatMoney(*value) : QString();
}

const char* const kNewMark = QT_TRANSLATE_NOOP("PriceGridColumns", "нов.");

// The title's source text; a warehouse's holds its number as %1.
const char* sourceTitle(int column)
{
    switch (column) {
    case PriceGridColumns::PartNumber:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Код товара");
    case PriceGridColumns::PartName:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Наименование");
    case PriceGridColumns::Vhod:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Вход");
    case PriceGridColumns::Price:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Розница UAH");
    case PriceGridColumns::PriceUsd:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Розница USD");
    case PriceGridColumns::PriceEur:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Розница EUR");
    case PriceGridColumns::kChange:
        return QT_TRANSLATE_NOOP("PriceGridColumns", "Изм. %");
    default:
        break;
    }
    if (column < PriceGridColumns::FirstWarehouse || column >= PriceGridColumns::kCount)
        return nullptr;
    return QT_TRANSLATE_NOOP("PriceGridColumns", "Скл №%1");
}

QString withNumber(const QString& title, int column)
{
    return column >= PriceGridColumns::FirstWarehouse && column < PriceGridColumns::kCount
               ? title.arg(column - PriceGridColumns::FirstWarehouse + 1)
               : title;
}

} // namespace

QString PriceGridColumns::title(int column)
{
    const char* source = sourceTitle(column);
    return source ? withNumber(QString::fromUtf8(source), column) : QString();
}

QString PriceGridColumns::shownTitle(int column)
{
    const char* source = sourceTitle(column);
    return source ? withNumber(QCoreApplication::translate("PriceGridColumns", source), column) : QString();
}

QString PriceGridColumns::shownText(const PriceRow& row, int column)
{
    if (column == kChange && row.change == PriceChange::Kind::New)
        return QCoreApplication::translate("PriceGridColumns", kNewMark);
    return text(row, column);
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
            return QString::fromUtf8(kNewMark);
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
