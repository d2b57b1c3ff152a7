#pragma once

#include <QChar>
#include <QString>

// Amounts and rates to the kopeck, as the clerk checks them with a
// calculator: the decimal an amount stands for is rounded, not the binary
// double it is held in.
class Money
{
public:
    // A price held in single precision as the decimal it was written as: the
    // shortest decimal that reads back as the same single (45.1 rather than
    // 45.0999985), so that amounts computed from it in double stay exact.
    static double fromSingle(double stored);

    // "0.00": value written with 15 significant digits, and that decimal
    // rounded to hundredths (or to the given decimals) half away from zero;
    // separator goes between the units and the fractions. Never "-0.00".
    static QString format(double value, QChar separator, int decimals = 2);
    // The amount format shows, as a number: equal shown texts, equal values.
    static double rounded(double value, int decimals = 2);
};
