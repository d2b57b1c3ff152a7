#include "OrderQuantity.h"

#include "core/errors/Error.h"

void OrderQuantity::check(qint64 quantity, const QString& partNumber)
{
    if (quantity >= kMin && quantity <= kMax)
        return;
    const QString range = QStringLiteral("недопустимо, можно от %1 до %2").arg(kMin).arg(kMax);
    if (partNumber.isEmpty())
        throw Error(QStringLiteral("Количество %1 ").arg(quantity) + range);
    throw Error(QStringLiteral("Позиция %1: количество %2 ").arg(partNumber).arg(quantity) + range);
}
