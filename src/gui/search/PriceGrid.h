#pragma once

#include <QTableView>

class PriceListModel;
class QMimeData;

// The price grid: read-only, a money-green title row and indicator column,
// columns that can be moved and resized (neither is kept), the current
// record painted as a band, and a read-only cell editor opened by F2,
// Enter, Backspace or a typed character.
class PriceGrid : public QTableView
{
    Q_OBJECT

public:
    static const QColor kFixedColor; // money green

    explicit PriceGrid(PriceListModel* model, QWidget* parent = nullptr);

    // The width a column starts with: fixed in pixels for the part number,
    // name and two retail prices; otherwise its display width in characters
    // "0", but no less than its title.
    int initialWidth(int column) const;

    // The rows with the shown columns in their shown order, titles first:
    // tab-separated text and an HTML table, for a spreadsheet or a mail.
    QMimeData* tableData() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void startAtFirstRecord();

    int m_column = -1; // the clerk's column, kept while price lists come and go
};
