#pragma once

#include "core/errors/Error.h"
#include "core/import/SupplierFileReader.h"
#include "core/storage/Tables.h"
#include "core/text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <limits>

// Shared by the reader targets: the input's first byte picks how the file is
// encoded and declared, the rest is the file. Every record is read and every
// promise of the reader checked; an Error is a fine answer, anything else a fault.
namespace SupplierFileFuzzing {

struct Input
{
    QByteArray file;
    QByteArray schema; // lines of the [import.txt] section; none: no schema.ini
};

// UTF-16 units from bytes: each byte a Latin-1 unit, but 0xFE k a surrogate,
// so the fuzzer reaches broken pairs as easily as line structure.
inline QByteArray widen(QByteArrayView data, bool bigEndian)
{
    QByteArray units;
    for (qsizetype i = 0; i < data.size(); ++i) {
        char16_t unit = static_cast<unsigned char>(data[i]);
        if (unit == 0xFE && i + 1 < data.size())
            unit = char16_t(0xD800 + 8 * static_cast<unsigned char>(data[++i]));
        const char high = char(unit >> 8), low = char(unit & 0xFF);
        units += bigEndian ? high : low;
        units += bigEndian ? low : high;
    }
    return units;
}

// Choice bits 0-2: none, UTF-8 mark, UTF-16LE mark, UTF-16BE mark, ANSI, OEM,
// Unicode without a mark, 65001 declared; bit 3: one odd byte at the end.
inline void encode(uint8_t choice, QByteArrayView data, Input& input)
{
    switch (choice & 7) {
    case 0:
        input.file = data.toByteArray();
        break;
    case 1:
        input.file = "\xEF\xBB\xBF" + data.toByteArray();
        break;
    case 2:
        input.file = "\xFF\xFE" + widen(data, false);
        break;
    case 3:
        input.file = "\xFE\xFF" + widen(data, true);
        break;
    case 4:
        input.file = data.toByteArray();
        input.schema += "CharacterSet=ANSI\r\n";
        break;
    case 5:
        input.file = data.toByteArray();
        input.schema += "CharacterSet=OEM\r\n";
        break;
    case 6:
        input.file = widen(data, false);
        input.schema += "CharacterSet=Unicode\r\n";
        break;
    default:
        input.file = data.toByteArray();
        input.schema += "CharacterSet=65001\r\n";
        break;
    }
    if (choice & 8)
        input.file += 'x';
}

inline const std::vector<TableColumn>& table(bool groups)
{
    static const std::vector<TableColumn> price(Tables::kPriceColumns.cbegin(), Tables::kPriceColumns.cend());
    static const std::vector<TableColumn> groupList(Tables::kGroupsColumns.cbegin(),
                                                    Tables::kGroupsColumns.cend());
    return groups ? groupList : price;
}

inline bool isControl(QChar ch)
{
    return ch.unicode() < 0x20 || (ch.unicode() >= 0x7F && ch.unicode() < 0xA0);
}

// Shown text: never a control character, never a flood.
inline void checkShown(const QString& text, qsizetype limit)
{
    if (text.size() > limit)
        std::abort();
    for (const QChar ch : text)
        if (isControl(ch))
            std::abort();
}

inline void checkValue(const SupplierFileReader::Value& value, const TableColumn& column)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        const QByteArrayView bytes(text->data(), qsizetype(text->size()));
        qsizetype characters = 0;
        for (const char byte : bytes)
            characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
        if (column.kind != TableColumn::Text || !CodePage::isValidUtf8(bytes) ||
            text->find('\0') != std::string::npos || characters > column.length || bytes.isEmpty())
            std::abort();
    } else if (const auto* integer = std::get_if<qint64>(&value)) {
        const qint64 limit = column.kind == TableColumn::Short ? std::numeric_limits<qint16>::max()
                                                               : std::numeric_limits<qint32>::max();
        if ((column.kind != TableColumn::Short && column.kind != TableColumn::Integer) || *integer > limit ||
            *integer < -limit - 1)
            std::abort();
    } else if (const auto* real = std::get_if<double>(&value)) {
        if ((column.kind != TableColumn::Single && column.kind != TableColumn::Double) ||
            !std::isfinite(*real) || (column.kind == TableColumn::Single && double(float(*real)) != *real))
            std::abort();
    }
}

inline void readAndCheck(const Input& input, const std::vector<TableColumn>& columns)
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/tardesk-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/tardesk-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("import.txt"));
    const QString schemaPath = folder.filePath(QStringLiteral("schema.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(input.file) != input.file.size())
        std::abort();
    file.close();
    QFile::remove(schemaPath);
    if (!input.schema.isEmpty()) {
        QFile schema(schemaPath);
        if (!schema.open(QIODevice::WriteOnly) || schema.write("[import.txt]\r\n" + input.schema) < 0)
            std::abort();
    }
    try {
        SupplierFileReader reader(path, columns);
        qint64 line = 0;
        while (reader.next()) {
            if (reader.line() <= line || reader.values().size() != columns.size())
                std::abort();
            line = reader.line();
            for (size_t i = 0; i < columns.size(); ++i)
                checkValue(reader.values()[i], columns[i]);
        }
        if (reader.adjustedCount() < qint64(reader.adjustments().size()))
            std::abort();
        for (const auto& adjustment : reader.adjustments())
            checkShown(adjustment.value, 6 * 61);
    } catch (const Error& error) {
        checkShown(error.message(), 2000);
    }
}

} // namespace SupplierFileFuzzing
