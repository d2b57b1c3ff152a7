#pragma once

#include "core/import/FieldConverter.h"
#include "core/import/TextFileScanner.h"
#include "core/import/TextSchema.h"
#include "core/storage/TableColumn.h"

#include <QString>

#include <optional>
#include <vector>

class ProgressReporter;

// Reads a supplier's text file (import.txt, importg.txt) record by record
// into the columns of a table, matching the file's columns by name and
// following the layout a schema.ini beside the file declares (TextSchema):
//
//     SupplierFileReader reader(path, columns);
//     while (reader.next())
//         bind reader.values() in table column order, step, reset;
//
// Streams the file. Errors are Error exceptions naming the file and the line.
class SupplierFileReader
{
public:
    using Value = FieldConverter::Value;

    // A value cut to its column's length or left empty because it did not fit.
    struct Adjustment
    {
        QString fileName;
        qint64 line = 0;
        QString column;
        QString value; // as a message shows it
    };
    static constexpr int kAdjustmentExamples = 10;

    // Opens the file and reads its header; progress may be null.
    SupplierFileReader(const QString& path, std::vector<TableColumn> columns,
                       ProgressReporter* progress = nullptr);

    // The next record; false at the end of the file.
    bool next();
    // The current record, one value per table column in table order;
    // columns the file lacks are NULL.
    const std::vector<Value>& values() const { return m_values; }
    // Swaps the current record with into[0 .. values().size()), so into holds
    // it and the reader reuses the old values' text buffers for later records.
    void takeValues(Value* into);
    // The line of the file on which the current record starts.
    qint64 line() const { return m_scanner.line(); }

    const QString& fileName() const { return m_name; }
    qint64 adjustedCount() const { return m_adjustedCount; }
    // The first kAdjustmentExamples adjustments.
    const std::vector<Adjustment>& adjustments() const { return m_adjustments; }

private:
    enum class Utf8Check
    {
        Guess,    // UTF-8 until the first invalid sequence, then 1251
        Guessed,  // UTF-8 text was taken as such, so 1251 can no longer be assumed
        Declared, // by a byte-order mark or schema.ini
        None      // single-byte, or converted from UTF-16
    };

    void chooseCodePage();
    void readHeader();
    std::vector<QString> detectDelimiter(QByteArrayView line, char* delimiter) const;
    bool nextNonBlank();
    void mapColumns(std::vector<QString> names, qint64 headerLine);
    void splitRecord();
    void checkEncoding();
    [[noreturn]] void fail(qint64 line, const QString& problem) const;

    QString m_name;
    std::vector<TableColumn> m_columns;
    TextFileScanner m_scanner;
    std::optional<TextSchema> m_schema;
    FieldConverter m_converter;
    Utf8Check m_utf8Check = Utf8Check::Guess;
    char m_quote = '"';
    bool m_decimalDelimits = false;    // the decimal symbol is the field delimiter
    std::vector<int> m_fileColumns;    // table column of each file column
    std::vector<int> m_missingColumns; // table columns the file lacks
    std::vector<int> m_widths;         // of each file column, for fixed-length files
    std::vector<QByteArrayView> m_fields;
    std::vector<Value> m_values;
    qint64 m_adjustedCount = 0;
    std::vector<Adjustment> m_adjustments;
};
