#include "OrderVerb.h"

#include "core/config/IniFile.h"
#include "core/errors/Error.h"
#include "core/order/Order.h"
#include "core/order/OrderExport.h"
#include "core/order/OrderQuantity.h"
#include "core/order/OrderSheet.h"
#include "core/search/ShownColumns.h"
#include "core/session/ShopStorage.h"
#include "core/storage/OrderStorage.h"
#include "core/storage/PriceCatalogue.h"
#include "core/storage/Storage.h"
#include "core/text/NormalizePartNumber.h"
#include "core/text/RegionalFormats.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QCoreApplication>

namespace {

QString listOf(const QStringList& codes)
{
    return codes.join(QStringLiteral(", "));
}

// The group codes among rows, each once ignoring case, as first spelled.
template <typename Rows> QStringList groupsOf(const Rows& rows)
{
    QStringList groups, folded;
    for (const auto& row : rows)
        if (!folded.contains(UnicodeCaseFolding::fold(row.groupCode))) {
            folded << UnicodeCaseFolding::fold(row.groupCode);
            groups << row.groupCode;
        }
    return groups;
}

void addToOrder(Storage& storage, const QStringList& arguments)
{
    const QString partNumber = arguments[0];
    const QString groupCode = arguments.value(2);
    bool isNumber = false;
    const qint64 quantity = arguments[1].toLongLong(&isNumber);
    if (!isNumber)
        throw Error(
            QCoreApplication::translate("OrderVerb", "Количество «%1» не целое число").arg(arguments[1]));
    OrderQuantity::check(quantity, partNumber);
    const std::vector<PriceRow> rows = storage.catalogue().partsByNumber(
        partNumber, groupCode, NormalizePartNumber(partNumber), PriceCatalogue::Scope::WholeList);
    if (rows.empty())
        throw Error(
            groupCode.isEmpty()
                ? QCoreApplication::translate("OrderVerb", "Позиции %1 нет в прайс-листе").arg(partNumber)
                : QCoreApplication::translate("OrderVerb", "Позиции %1 группы %2 нет в прайс-листе")
                      .arg(partNumber, groupCode));
    const QStringList groups = groupsOf(rows);
    if (groups.size() > 1)
        throw Error(QCoreApplication::translate("OrderVerb",
                                                "Номер %1 есть в нескольких группах: %2; укажите код группы")
                        .arg(partNumber, listOf(groups)));
    storage.order().add(rows.front(), int(quantity));
}

void removeFromOrder(OrderStorage& order, const QStringList& arguments)
{
    const QString partNumber = arguments[0];
    const QString groupCode = arguments.value(1);
    std::vector<OrderStorage::Line> found;
    for (const OrderStorage::Line& line : order.lines())
        if (UnicodeCaseFolding::equal(line.partNumber, partNumber) &&
            (groupCode.isEmpty() || UnicodeCaseFolding::equal(line.groupCode, groupCode)))
            found.push_back(line);
    if (found.empty())
        throw Error(QCoreApplication::translate("OrderVerb", "Позиции %1 нет в заказе").arg(partNumber));
    if (found.size() > 1)
        throw Error(QCoreApplication::translate(
                        "OrderVerb", "Номер %1 есть в заказе в нескольких группах: %2; укажите код группы")
                        .arg(partNumber, listOf(groupsOf(found))));
    order.remove(found.front().id);
}

} // namespace

QString OrderVerb::list(const Order& order)
{
    const QChar separator = RegionalFormats::decimalSeparator();
    const auto money = [separator](const std::optional<qint64>& cents) {
        return cents ? Order::moneyText(*cents, separator) : QString();
    };
    QString text;
    for (const Order::Line& line : order.lines())
        text += tabSeparated({line.partNumber, line.groupCode, line.partName, QString::number(line.quantity),
                              money(line.priceCents), money(line.sumCents)});
    text += tabSeparated({OrderSheet::totalTitle(), QString(), QString(),
                          QString::number(order.totalQuantity()), QString(), money(order.totalCents())});
    return text;
}

int OrderVerb::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString verb = arguments.value(1);
    const int extra = int(arguments.size()) - 2;
    const bool known = (verb == QLatin1String("add") && (extra == 2 || extra == 3)) ||
                       (verb == QLatin1String("remove") && (extra == 1 || extra == 2)) ||
                       (verb == QLatin1String("export") && extra == 1) ||
                       ((verb == QLatin1String("clear") || verb == QLatin1String("list")) && extra == 0);
    if (!known)
        return wrongUsage(err);
    const QString folder = arguments[0];
    const QStringList rest = arguments.mid(2);
    if (verb == QLatin1String("list") || verb == QLatin1String("export")) {
        const std::unique_ptr<Storage> storage = openShop(folder, ShopStorage::Access::Read);
        const Order current = Order::read(*storage);
        if (verb == QLatin1String("list")) {
            out << list(current);
        } else {
            const IniFile ini(IniFile::clientFileName(folder));
            OrderExport::save(OrderSheet(current, ShownColumns::read(ini).warehouseList()), rest[0]);
        }
        return 0;
    }
    // A change waits while an update replaces the shop's list, or it would be lost with the old one.
    const std::unique_ptr<Storage> storage = openShop(folder, ShopStorage::Access::Shared);
    if (verb == QLatin1String("add"))
        addToOrder(*storage, rest);
    else if (verb == QLatin1String("remove"))
        removeFromOrder(storage->order(), rest);
    else
        storage->order().clear();
    return 0;
}
