#pragma once

#include "core/search/PriceChangeList.h"

#include <QDialog>

#include <vector>

class PriceChangeModel;
class QComboBox;
class QSortFilterProxyModel;
class QTableView;

// "Изменения прайса": the changes of the last update in a sortable table
// with a filter by kind. A double click or Enter on a line asks for that
// part's price list.
class PriceChangesWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PriceChangesWindow(QWidget* parent);

    // The caller reads the changes afresh, since an update may have come in between.
    void showChanges(std::vector<PriceChangeList::Line> lines);

signals:
    void partChosen(const QString& partNumber, const QString& groupCode);

private:
    void filter();

    PriceChangeModel* m_model;
    QSortFilterProxyModel* m_sorted;
    QComboBox* m_kind;
    QTableView* m_table;
};
