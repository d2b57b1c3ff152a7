#pragma once

#include <QString>

#include <SQLiteCpp/Database.h>

#include <vector>

struct PriceRow;

// The order to the supplier as kept in Tardesk.mdb, one line per part. A
// part is its PARTNUMBER and GROUPCODE, both compared ignoring case. Every
// change is one transaction: on failure the order stays as it was. The
// table is made by the first change, so reading a file without it gives an
// empty order.
class OrderStore
{
public:
    static constexpr int kMinQuantity = 1;
    static constexpr int kMaxQuantity = 9999;

    struct Line
    {
        qint64 id = 0;
        QString groupCode;
        QString partNumber;
        QString shortPartNumber;
        QString partName; // as the price list spelled it when the part was added
        int quantity = 0;
    };

    // In the order in which the parts were first added.
    static std::vector<Line> lines(SQLite::Database& db);

    // Adds quantity to the part's line, or appends a line for it; the sum
    // must stay within the allowed quantities.
    static void add(SQLite::Database& db, const PriceRow& part, int quantity);
    static void setQuantity(SQLite::Database& db, qint64 lineId, int quantity);
    static void remove(SQLite::Database& db, qint64 lineId);
    static void clear(SQLite::Database& db);

    // Throws unless quantity may be ordered; the message names the part when given.
    static void checkQuantity(qint64 quantity, const QString& partNumber);
    static bool samePart(const Line& line, const QString& partNumber, const QString& groupCode);
    // Part numbers and group codes of the order compare with Unicode case
    // folding: a clerk may type "ё" for the list's "Ё".
    static bool equalIgnoringCase(const QString& a, const QString& b);
};
