#pragma once

#include <QDialog>

class PriceChangeModel;
class QComboBox;
class QSortFilterProxyModel;
class QTableView;

namespace SQLite {
class Database;
}

// "Изменения прайса": the changes of the last update in a sortable table
// with a filter by kind. A double click or Enter on a line asks for that
// part's price list.
class PriceChangesWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PriceChangesWindow(QWidget* parent);

    // Reads the changes afresh, since an update may have come in between.
    void showChanges(SQLite::Database& db);

signals:
    void partChosen(const QString& partNumber);

private:
    void filter();

    PriceChangeModel* m_model;
    QSortFilterProxyModel* m_sorted;
    QComboBox* m_kind;
    QTableView* m_table;
};
