#include "OrderWindow.h"

#include "core/errors/Error.h"
#include "core/order/Order.h"
#include "core/order/OrderExport.h"
#include "core/order/OrderMail.h"
#include "core/order/OrderQuantity.h"
#include "core/order/OrderSheet.h"
#include "core/session/ClientSession.h"
#include "core/storage/OrderStorage.h"
#include "core/text/RegionalFormats.h"
#include "gui/order/OrderModel.h"
#include "gui/shared/MessageBoxes.h"

#include <QAction>
#include <QDate>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

OrderWindow::UrlOpener g_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

// Quantities are whole pieces within the orderable range.
class QuantityDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* spin = qobject_cast<QSpinBox*>(editor))
            spin->setRange(OrderQuantity::kMin, OrderQuantity::kMax);
        return editor;
    }
};

// Part number, group, name, quantity, input price, sum; then each warehouse.
const int kColumnWidths[] = {130, 80, 260, 55, 70, 80};
const int kWarehouseWidth = 55;

} // namespace

void OrderWindow::setUrlOpener(UrlOpener opener)
{
    g_openUrl = opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

OrderWindow::OrderWindow(ClientSession& session, WarehousesShown warehouses, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session), m_warehouses(std::move(warehouses)),
      m_model(new OrderModel([this](qint64 lineId, int quantity) { writeQuantity(lineId, quantity); }, this))
{
    setObjectName(QStringLiteral("FormOrder"));
    setWindowTitle(tr("Заказ поставщику"));
    resize(900, 420);

    gridOrder = new QTableView(this);
    gridOrder->setObjectName(QStringLiteral("gridOrder"));
    gridOrder->setModel(m_model);
    gridOrder->setItemDelegateForColumn(OrderSheet::Quantity, new QuantityDelegate(gridOrder));
    gridOrder->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridOrder->setSelectionMode(QAbstractItemView::SingleSelection);
    gridOrder->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    gridOrder->setWordWrap(false);
    gridOrder->verticalHeader()->setDefaultSectionSize(gridOrder->fontMetrics().height() + 6);
    gridOrder->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    lbTotal = new QLabel(this);
    lbTotal->setObjectName(QStringLiteral("lbTotal"));
    btnClear = new QPushButton(tr("Очистить"), this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnSave = new QPushButton(tr("Сохранить…"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSend = new QPushButton(tr("Отправить поставщику"), this);
    btnSend->setObjectName(QStringLiteral("btnSend"));
    connect(btnClear, &QPushButton::clicked, this, &OrderWindow::clearOrder);
    connect(btnSave, &QPushButton::clicked, this, &OrderWindow::saveOrder);
    connect(btnSend, &QPushButton::clicked, this, &OrderWindow::sendOrder);

    // Del acts on the table only: while a quantity is edited, its editor has the focus.
    auto* removeLine = new QAction(this);
    removeLine->setShortcut(QKeySequence(Qt::Key_Delete));
    removeLine->setShortcutContext(Qt::WidgetShortcut);
    gridOrder->addAction(removeLine);
    connect(removeLine, &QAction::triggered, this, &OrderWindow::removeCurrentLine);
    auto* refresh = new QAction(this);
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    refresh->setShortcutContext(Qt::WindowShortcut);
    addAction(refresh);
    connect(refresh, &QAction::triggered, this, &OrderWindow::reread);
    connect(gridOrder, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (index.column() == OrderSheet::Quantity)
            return;
        emit partChosen(m_model->index(index.row(), OrderSheet::PartNumber).data().toString(),
                        m_model->index(index.row(), OrderSheet::GroupCode).data().toString());
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbTotal, 1);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnSend);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridOrder, 1);
    layout->addLayout(buttons);
}

void OrderWindow::open()
{
    reread();
    show();
    raise();
    activateWindow();
}

void OrderWindow::reread()
{
    MessageBoxes::guard(this, [this] {
        const QModelIndex current = gridOrder->currentIndex();
        const Order order = Order::read(m_session.storage());
        m_model->setSheet(OrderSheet(order, m_warehouses()));
        for (int column = 0; column < m_model->columnCount(); ++column)
            gridOrder->setColumnWidth(column, column < OrderSheet::FirstWarehouse ? kColumnWidths[column]
                                                                                  : kWarehouseWidth);
        const QChar separator = RegionalFormats::decimalSeparator();
        lbTotal->setText(tr("%1: %2 шт., %3")
                             .arg(OrderSheet::totalTitle(true))
                             .arg(order.totalQuantity())
                             .arg(Order::moneyText(order.totalCents(), separator)));
        if (m_model->rowCount() > 0)
            gridOrder->setCurrentIndex(m_model->index(std::clamp(current.row(), 0, m_model->rowCount() - 1),
                                                      std::max(current.column(), 0)));
    });
}

void OrderWindow::setChangesEnabled(bool enabled)
{
    setEnabled(enabled);
}

template <typename Change> void OrderWindow::change(Change&& body)
{
    MessageBoxes::guard(this, [&] { body(m_session.storage().order()); });
    reread();
}

void OrderWindow::writeQuantity(qint64 lineId, int quantity)
{
    // The model is read again once the editor has let go of it.
    MessageBoxes::guard(this, [&] { m_session.storage().order().setQuantity(lineId, quantity); });
    QTimer::singleShot(0, this, &OrderWindow::reread);
}

void OrderWindow::removeCurrentLine()
{
    const QModelIndex current = gridOrder->currentIndex();
    if (!current.isValid())
        return;
    change([&](OrderStorage& order) { order.remove(m_model->lineId(current.row())); });
}

void OrderWindow::clearOrder()
{
    if (MessageBoxes::confirm(this, tr("Очистить заказ?")) != MessageBoxes::Answer::Yes)
        return;
    change([](OrderStorage& order) { order.clear(); });
}

void OrderWindow::saveOrder()
{
    QFileDialog dialog(this, tr("Сохранить заказ"));
    dialog.setObjectName(QStringLiteral("dlgSaveOrder"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString filterCsv = tr("Текст CSV, разделитель «;» (*.csv)");
    dialog.setNameFilters({tr("Книга Excel (*.xlsx)"), filterCsv});
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    const QString suggested = tr("Заказ %1").arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    dialog.selectFile(suggested + QStringLiteral(".xlsx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filterCsv](const QString& filter) {
        const QString suffix = filter == filterCsv ? QStringLiteral("csv") : QStringLiteral("xlsx");
        dialog.setDefaultSuffix(suffix);
        // The name typed so far keeps its stem and takes the format's suffix.
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            static const QRegularExpression formatSuffix(QStringLiteral("\\.(xlsx|csv)$"),
                                                         QRegularExpression::CaseInsensitiveOption);
            QString text = name->text();
            text.remove(formatSuffix);
            if (!text.isEmpty())
                name->setText(text + QLatin1Char('.') + suffix);
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString fileName = dialog.selectedFiles().front();
    if (!OrderExport::isExportFileName(fileName))
        fileName += QLatin1Char('.') + dialog.defaultSuffix();
    MessageBoxes::guard(this, [&] { OrderExport::save(m_model->sheet(), fileName); });
}

void OrderWindow::sendOrder()
{
    QString problem;
    try {
        const SettingsRecord& settings = m_session.settings();
        const QString subject = OrderMail::subject(settings.value(Tables::SettingsField::CL_NAME).toString(),
                                                   QDate::currentDate());
        const QUrl link =
            OrderMail::link(settings.value(Tables::SettingsField::SUPP_EMAIL).toString(), subject,
                            OrderMail::body(m_model->sheet(), RegionalFormats::decimalSeparator()));
        if (g_openUrl(link))
            return;
        problem = tr("Не удалось открыть почтовую программу");
    } catch (const std::exception& error) {
        problem = Error::messageOf(error);
    }
    if (MessageBoxes::confirm(this, problem + tr(".\nСохранить заказ в файл?")) == MessageBoxes::Answer::Yes)
        saveOrder();
}
