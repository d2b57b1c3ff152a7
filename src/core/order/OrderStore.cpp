#include "OrderStore.h"

#include "core/db/Schema.h"
#include "core/search/PriceRow.h"
#include "core/text/Error.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

namespace {

QString text(const SQLite::Column& column)
{
    return column.isNull() ? QString() : QString::fromUtf8(column.getText());
}

// Another client may have changed the order since this one read it.
void requireChanged(int changes)
{
    if (changes == 0)
        throw Error(QStringLiteral("Строки уже нет в заказе: его изменили в другом окне"));
}

} // namespace

std::vector<OrderStore::Line> OrderStore::lines(SQLite::Database& db)
{
    std::vector<Line> result;
    if (!db.tableExists(Schema::kOrderTable))
        return result;
    SQLite::Statement select(db, Schema::kSelectOrderLines);
    while (select.executeStep()) {
        Line line;
        line.id = select.getColumn(0).getInt64();
        line.groupCode = text(select.getColumn(1));
        line.partNumber = text(select.getColumn(2));
        line.shortPartNumber = text(select.getColumn(3));
        line.partName = text(select.getColumn(4));
        line.quantity = select.getColumn(5).getInt();
        result.push_back(std::move(line));
    }
    return result;
}

bool OrderStore::equalIgnoringCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool OrderStore::samePart(const Line& line, const QString& partNumber, const QString& groupCode)
{
    return equalIgnoringCase(line.partNumber, partNumber) && equalIgnoringCase(line.groupCode, groupCode);
}

void OrderStore::checkQuantity(qint64 quantity, const QString& partNumber)
{
    if (quantity >= kMinQuantity && quantity <= kMaxQuantity)
        return;
    const QString range =
        QStringLiteral("недопустимо, можно от %1 до %2").arg(kMinQuantity).arg(kMaxQuantity);
    if (partNumber.isEmpty())
        throw Error(QStringLiteral("Количество %1 ").arg(quantity) + range);
    throw Error(QStringLiteral("Позиция %1: количество %2 ").arg(partNumber).arg(quantity) + range);
}

void OrderStore::add(SQLite::Database& db, const PriceRow& part, int quantity)
{
    // Immediate: two clients adding the same part must not both append it.
    SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
    db.exec(Schema::kCreateOrder);
    for (const Line& line : lines(db)) {
        if (!samePart(line, part.partNumber, part.groupCode))
            continue;
        checkQuantity(qint64(line.quantity) + quantity, line.partNumber);
        SQLite::Statement update(db, Schema::kUpdateOrderQuantity);
        update.bind(1, line.quantity + quantity);
        update.bind(2, static_cast<int64_t>(line.id));
        update.exec();
        transaction.commit();
        return;
    }
    checkQuantity(quantity, part.partNumber);
    SQLite::Statement insert(db, Schema::kInsertOrderLine);
    insert.bind(1, part.groupCode.toStdString());
    insert.bind(2, part.partNumber.toStdString());
    insert.bind(3, part.shortPartNumber.toStdString());
    insert.bind(4, part.partName.toStdString());
    insert.bind(5, quantity);
    insert.exec();
    transaction.commit();
}

void OrderStore::setQuantity(SQLite::Database& db, qint64 lineId, int quantity)
{
    checkQuantity(quantity, QString());
    if (!db.tableExists(Schema::kOrderTable))
        requireChanged(0);
    SQLite::Statement update(db, Schema::kUpdateOrderQuantity);
    update.bind(1, quantity);
    update.bind(2, static_cast<int64_t>(lineId));
    requireChanged(update.exec());
}

void OrderStore::remove(SQLite::Database& db, qint64 lineId)
{
    if (!db.tableExists(Schema::kOrderTable))
        requireChanged(0);
    SQLite::Statement remove(db, Schema::kDeleteOrderLine);
    remove.bind(1, static_cast<int64_t>(lineId));
    requireChanged(remove.exec());
}

void OrderStore::clear(SQLite::Database& db)
{
    if (db.tableExists(Schema::kOrderTable))
        db.exec(Schema::kDeleteOrderLines);
}
