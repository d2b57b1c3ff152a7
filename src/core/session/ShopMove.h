#pragma once

#include <QString>

class PgConnection;

// A shop's folder moved onto a PostgreSQL server.
namespace ShopMove {

// Makes the shop's tables in db's empty UTF8 database and, when
// databaseFile is not empty, copies its list (in its order), groups, first
// settings row, price changes and order over; all in one transaction, so a
// failure leaves the database empty.
void copyToServer(PgConnection& db, const QString& databaseFile);

} // namespace ShopMove
