#include "OrderQuantity.h"

#include "core/errors/Error.h"

#include <QCoreApplication>

void OrderQuantity::check(qint64 quantity, const QString& partNumber)
{
    if (quantity >= kMin && quantity <= kMax)
        return;
    const QString range =
        QCoreApplication::translate("OrderQuantity", "недопустимо, можно от %1 до %2").arg(kMin).arg(kMax);
    if (partNumber.isEmpty())
        throw Error(QCoreApplication::translate("OrderQuantity", "Количество %1 ").arg(quantity) + range);
    throw Error(QCoreApplication::translate("OrderQuantity", "Позиция %1: количество %2 ")
                    .arg(partNumber)
                    .arg(quantity) +
                range);
}
