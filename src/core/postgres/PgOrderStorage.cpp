#include "PgOrderStorage.h"

#include "core/order/OrderQuantity.h"
#include "core/postgres/PgConnection.h"
#include "core/postgres/PgSchema.h"
#include "core/storage/PriceRow.h"
#include "core/text/UnicodeCaseFolding.h"

#include <QCoreApplication>

namespace {

// Another client may have changed the order since this one read it.
void requireChanged(qint64 changes)
{
    if (changes == 0)
        throw Error(QCoreApplication::translate("PgOrderStorage",
                                                "Строки уже нет в заказе: его изменили в другом окне"));
}

} // namespace

PgOrderStorage::PgOrderStorage(PgConnection& db) : m_db(db)
{}

std::vector<OrderStorage::Line> PgOrderStorage::lines()
{
    const PgResult rows = m_db.exec(PgSchema::kSelectOrderLines);
    std::vector<Line> result;
    result.reserve(size_t(rows.rows()));
    for (int row = 0; row < rows.rows(); ++row)
        result.push_back(Line{rows.integer(row, 0), rows.string(row, 1), rows.string(row, 2),
                              rows.string(row, 3), rows.string(row, 4), int(rows.integer(row, 5))});
    return result;
}

template <typename Write> auto PgOrderStorage::writing(const char* notDone, Write write)
{
    try {
        return write();
    } catch (const PgError& error) {
        throw Error(QStringLiteral("%1: %2").arg(QCoreApplication::translate("PgOrderStorage", notDone),
                                                 error.message()));
    }
}

int PgOrderStorage::add(const PriceRow& part, int quantity)
{
    return writing(QT_TRANSLATE_NOOP("PgOrderStorage", "Позиция не добавлена в заказ"), [&] {
        PgTransaction transaction(m_db);
        m_db.exec(PgSchema::kLockOrderForAdding);
        for (const Line& line : lines()) {
            if (!UnicodeCaseFolding::equal(line.partNumber, part.partNumber) ||
                !UnicodeCaseFolding::equal(line.groupCode, part.groupCode))
                continue;
            OrderQuantity::check(qint64(line.quantity) + quantity, line.partNumber);
            m_db.exec(PgSchema::kUpdateOrderQuantity, {line.quantity + quantity, line.id});
            transaction.commit();
            return line.quantity + quantity;
        }
        OrderQuantity::check(quantity, part.partNumber);
        m_db.exec(PgSchema::kInsertOrderLine,
                  {part.groupCode, part.partNumber, part.shortPartNumber, part.partName, quantity});
        transaction.commit();
        return quantity;
    });
}

void PgOrderStorage::setQuantity(qint64 lineId, int quantity)
{
    OrderQuantity::check(quantity, QString());
    writing(QT_TRANSLATE_NOOP("PgOrderStorage", "Количество не изменено"), [&] {
        requireChanged(m_db.exec(PgSchema::kUpdateOrderQuantity, {quantity, lineId}).affectedRows());
    });
}

void PgOrderStorage::remove(qint64 lineId)
{
    writing(QT_TRANSLATE_NOOP("PgOrderStorage", "Строка не удалена из заказа"),
            [&] { requireChanged(m_db.exec(PgSchema::kDeleteOrderLine, {lineId}).affectedRows()); });
}

void PgOrderStorage::clear()
{
    writing(QT_TRANSLATE_NOOP("PgOrderStorage", "Заказ не очищен"),
            [&] { m_db.exec(PgSchema::kDeleteOrderLines); });
}
