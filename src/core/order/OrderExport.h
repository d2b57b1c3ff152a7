#pragma once

#include <QByteArray>
#include <QString>

class OrderSheet;

// Writes the order for a spreadsheet: ".xlsx" with numbers in number
// cells, or ".csv" as a Russian-locale spreadsheet reads it (UTF-8 with a
// byte-order mark, ";", CRLF, decimal commas). The file is replaced whole
// or not at all.
class OrderExport
{
public:
    // The kind is chosen by the file name's suffix, ignoring case.
    static void save(const OrderSheet& sheet, const QString& fileName);

    static QByteArray csv(const OrderSheet& sheet);
    static bool isExportFileName(const QString& fileName);

private:
    static void saveCsv(const OrderSheet& sheet, const QString& fileName);
    static void saveXlsx(const OrderSheet& sheet, const QString& fileName);
};
