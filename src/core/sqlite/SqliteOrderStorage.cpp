#include "SqliteOrderStorage.h"

#include "core/errors/Error.h"
#include "core/order/OrderQuantity.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/Schema.h"
#include "core/storage/PriceRow.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <QCoreApplication>

namespace {

QString text(const SQLite::Column& column)
{
    return column.isNull() ? QString() : QString::fromUtf8(column.getText());
}

// Another client may have changed the order since this one read it.
void requireChanged(int changes)
{
    if (changes == 0)
        throw Error(QCoreApplication::translate("SqliteOrderStorage",
                                                "Строки уже нет в заказе: его изменили в другом окне"));
}

std::vector<OrderStorage::Line> readLines(SQLite::Database& db)
{
    std::vector<OrderStorage::Line> result;
    if (!db.tableExists(Tables::kOrderTable))
        return result;
    SQLite::Statement select(db, Schema::kSelectOrderLines);
    while (select.executeStep()) {
        OrderStorage::Line line;
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

} // namespace

SqliteOrderStorage::SqliteOrderStorage(Database& database) : m_database(database)
{}

std::vector<OrderStorage::Line> SqliteOrderStorage::lines()
{
    return readLines(m_database.connection());
}

template <typename Write> auto SqliteOrderStorage::writing(const char* notDone, Write write)
{
    try {
        return write(m_database.connection());
    } catch (const SQLite::Exception& error) {
        throw m_database.writeFailure(error, QCoreApplication::translate("SqliteOrderStorage", notDone));
    }
}

int SqliteOrderStorage::add(const PriceRow& part, int quantity)
{
    return writing(QT_TRANSLATE_NOOP("SqliteOrderStorage", "Позиция не добавлена в заказ"),
                   [&](SQLite::Database& db) { return add(db, part, quantity); });
}

int SqliteOrderStorage::add(SQLite::Database& db, const PriceRow& part, int quantity)
{
    // Immediate: two clients adding the same part must not both append it.
    SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
    db.exec(Schema::kCreateOrder);
    for (const Line& line : readLines(db)) {
        if (!UnicodeCaseFolding::equal(line.partNumber, part.partNumber) ||
            !UnicodeCaseFolding::equal(line.groupCode, part.groupCode))
            continue;
        OrderQuantity::check(qint64(line.quantity) + quantity, line.partNumber);
        SQLite::Statement update(db, Schema::kUpdateOrderQuantity);
        update.bind(1, line.quantity + quantity);
        update.bind(2, static_cast<int64_t>(line.id));
        update.exec();
        transaction.commit();
        return line.quantity + quantity;
    }
    OrderQuantity::check(quantity, part.partNumber);
    SQLite::Statement insert(db, Schema::kInsertOrderLine);
    insert.bind(1, part.groupCode.toStdString());
    insert.bind(2, part.partNumber.toStdString());
    insert.bind(3, part.shortPartNumber.toStdString());
    insert.bind(4, part.partName.toStdString());
    insert.bind(5, quantity);
    insert.exec();
    transaction.commit();
    return quantity;
}

void SqliteOrderStorage::setQuantity(qint64 lineId, int quantity)
{
    OrderQuantity::check(quantity, QString());
    writing(QT_TRANSLATE_NOOP("SqliteOrderStorage", "Количество не изменено"), [&](SQLite::Database& db) {
        if (!db.tableExists(Tables::kOrderTable))
            requireChanged(0);
        SQLite::Statement update(db, Schema::kUpdateOrderQuantity);
        update.bind(1, quantity);
        update.bind(2, static_cast<int64_t>(lineId));
        requireChanged(update.exec());
    });
}

void SqliteOrderStorage::remove(qint64 lineId)
{
    writing(QT_TRANSLATE_NOOP("SqliteOrderStorage", "Строка не удалена из заказа"),
            [&](SQLite::Database& db) {
                if (!db.tableExists(Tables::kOrderTable))
                    requireChanged(0);
                SQLite::Statement remove(db, Schema::kDeleteOrderLine);
                remove.bind(1, static_cast<int64_t>(lineId));
                requireChanged(remove.exec());
            });
}

void SqliteOrderStorage::clear()
{
    writing(QT_TRANSLATE_NOOP("SqliteOrderStorage", "Заказ не очищен"), [](SQLite::Database& db) {
        if (db.tableExists(Tables::kOrderTable))
            db.exec(Schema::kDeleteOrderLines);
    });
}
