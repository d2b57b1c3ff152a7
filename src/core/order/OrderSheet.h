#pragma once

#include "core/order/Order.h"

#include <QString>
#include <QStringList>

#include <vector>

// The order as a table: the order window, the saved files and the mail
// show these columns: part number, group, name, quantity, input price,
// sum, and the warehouses the main grid shows; a last row of totals.
class OrderSheet
{
public:
    enum Column
    {
        PartNumber,
        GroupCode,
        PartName,
        Quantity,
        Price,
        Sum,
        FirstWarehouse
    };
    enum class Kind
    {
        Text,
        Number,
        Money // value in kopecks
    };
    struct Cell
    {
        Kind kind = Kind::Text;
        QString text;
        qint64 value = 0;
    };

    // warehouses: 0 ... 8, in the order their columns follow.
    OrderSheet(const Order& order, std::vector<int> warehouses);

    QStringList titles() const;
    int columnCount() const { return FirstWarehouse + int(m_warehouses.size()); }
    // The lines, then the totals.
    int rowCount() const { return int(m_order.lines().size()) + 1; }
    bool isTotalRow(int row) const { return row == rowCount() - 1; }
    Cell cell(int row, int column) const;
    // A cell as text, amounts with the given decimal separator.
    QString text(int row, int column, QChar decimalSeparator) const;

    const Order& order() const { return m_order; }
    const std::vector<int>& warehouses() const { return m_warehouses; }

    // translated: in the interface's language, for the clerk's window; the
    // files, the mail and the tool's list keep the Russian the supplier and scripts read.
    static QString withdrawnMark(bool translated = false);
    static QString totalTitle(bool translated = false);
    void setTranslated(bool translated) { m_translated = translated; }

private:
    Cell lineCell(const Order::Line& line, int column) const;
    Cell totalCell(int column) const;

    Order m_order;
    std::vector<int> m_warehouses;
    bool m_translated = false;
};
