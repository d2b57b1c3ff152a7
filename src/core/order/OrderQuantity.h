#pragma once

#include <QString>

// How many of a part an order line may hold.
class OrderQuantity
{
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 9999;

    // Throws unless quantity may be ordered; the message names the part when given.
    static void check(qint64 quantity, const QString& partNumber);
};
