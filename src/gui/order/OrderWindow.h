#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>
#include <vector>

class ClientSession;
class OrderModel;
class OrderSheet;
class QLabel;
class QPushButton;
class QTableView;

// The order to the supplier: a window of its own beside the main one, so
// the clerk keeps searching while it is open. It holds no data itself: every
// opening, F5 and change reads the order from the database again, so
// another client's changes show too.
class OrderWindow : public QWidget
{
    Q_OBJECT

public:
    using WarehousesShown = std::function<std::vector<int>()>;
    using UrlOpener = std::function<bool(const QUrl&)>;

    OrderWindow(ClientSession& session, WarehousesShown warehouses, QWidget* parent);

    // Shows the window, read afresh, or brings it to the front.
    void open();
    // F5; also after the main window changed the order or the price list.
    void reread();
    // Off while the price list is being replaced: the order cannot change then.
    void setChangesEnabled(bool enabled);

    void clearOrder();
    void saveOrder();
    void sendOrder();

    // Tests see the link instead of a mail program opening.
    static void setUrlOpener(UrlOpener opener);

signals:
    // Enter or a double click on a line, outside its quantity.
    void partChosen(const QString& partNumber, const QString& groupCode);

public:
    QTableView* gridOrder;
    QLabel* lbTotal;
    QPushButton* btnClear;
    QPushButton* btnSave;
    QPushButton* btnSend;

private:
    void removeCurrentLine();
    void writeQuantity(qint64 lineId, int quantity);
    // Runs a change of the stored order, then shows the order as it now is.
    template <typename Change> void change(Change&& body);

    ClientSession& m_session;
    WarehousesShown m_warehouses;
    OrderModel* m_model;
};
