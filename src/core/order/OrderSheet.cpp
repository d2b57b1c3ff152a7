#include "OrderSheet.h"

#include <QCoreApplication>

namespace {

QString inLanguage(const char* text, bool translated)
{
    return translated ? QCoreApplication::translate("OrderSheet", text) : QString::fromUtf8(text);
}

OrderSheet::Cell textCell(const QString& text)
{
    return {OrderSheet::Kind::Text, text, 0};
}

OrderSheet::Cell numberCell(qint64 value)
{
    return {OrderSheet::Kind::Number, QString(), value};
}

OrderSheet::Cell moneyCell(const std::optional<qint64>& cents)
{
    return cents ? OrderSheet::Cell{OrderSheet::Kind::Money, QString(), *cents} : textCell(QString());
}

} // namespace

OrderSheet::OrderSheet(const Order& order, std::vector<int> warehouses)
    : m_order(order), m_warehouses(std::move(warehouses))
{}

QStringList OrderSheet::titles() const
{
    QStringList titles;
    for (const char* title :
         {QT_TRANSLATE_NOOP("OrderSheet", "Код товара"), QT_TRANSLATE_NOOP("OrderSheet", "Группа"),
          QT_TRANSLATE_NOOP("OrderSheet", "Наименование"), QT_TRANSLATE_NOOP("OrderSheet", "Кол-во"),
          QT_TRANSLATE_NOOP("OrderSheet", "Вход"), QT_TRANSLATE_NOOP("OrderSheet", "Сумма")})
        titles << inLanguage(title, m_translated);
    for (int warehouse : m_warehouses)
        titles << inLanguage(QT_TRANSLATE_NOOP("OrderSheet", "Скл №%1"), m_translated).arg(warehouse + 1);
    return titles;
}

QString OrderSheet::withdrawnMark(bool translated)
{
    return inLanguage(QT_TRANSLATE_NOOP("OrderSheet", "снято"), translated);
}

QString OrderSheet::totalTitle(bool translated)
{
    return inLanguage(QT_TRANSLATE_NOOP("OrderSheet", "Итого"), translated);
}

OrderSheet::Cell OrderSheet::cell(int row, int column) const
{
    if (isTotalRow(row))
        return totalCell(column);
    return lineCell(m_order.lines()[size_t(row)], column);
}

OrderSheet::Cell OrderSheet::lineCell(const Order::Line& line, int column) const
{
    switch (column) {
    case PartNumber:
        return textCell(line.partNumber);
    case GroupCode:
        return textCell(line.groupCode);
    case PartName:
        return textCell(line.partName);
    case Quantity:
        return numberCell(line.quantity);
    case Price:
        return line.withdrawn ? textCell(withdrawnMark(m_translated)) : moneyCell(line.priceCents);
    case Sum:
        return moneyCell(line.sumCents);
    default:
        break;
    }
    const std::optional<qint64>& stock = line.stock[size_t(m_warehouses[size_t(column - FirstWarehouse)])];
    return stock ? numberCell(*stock) : textCell(QString());
}

OrderSheet::Cell OrderSheet::totalCell(int column) const
{
    switch (column) {
    case PartNumber:
        return textCell(totalTitle(m_translated));
    case Quantity:
        return numberCell(m_order.totalQuantity());
    case Sum:
        return moneyCell(m_order.totalCents());
    default:
        return textCell(QString());
    }
}

QString OrderSheet::text(int row, int column, QChar decimalSeparator) const
{
    const Cell shown = cell(row, column);
    switch (shown.kind) {
    case Kind::Number:
        return QString::number(shown.value);
    case Kind::Money:
        return Order::moneyText(shown.value, decimalSeparator);
    case Kind::Text:
        break;
    }
    return shown.text;
}
