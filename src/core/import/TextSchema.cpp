#include "TextSchema.h"

#include "core/errors/Error.h"
#include "core/files/OpenRegularFile.h"
#include "core/import/TextRecordParser.h"
#include "core/text/ShownValue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace {

// A layout of a few hundred bytes; a larger file is no layout.
constexpr qint64 kMaxSchemaSize = 1 << 20;

struct Entry
{
    QString key;
    QString value;
    int line;
    QString section; // the data file it describes
};

[[noreturn]] void fail(const Entry& entry, const QString& problem)
{
    throw Error::atLine(TextSchema::kFileName, entry.line, problem, entry.section);
}

QString decodeSchemaFile(QByteArrayView bytes)
{
    // Read like the data files when they declare nothing: UTF-8 if valid, else 1251;
    // Notepad's "Unicode" is UTF-16LE with its mark.
    if (bytes.startsWith("\xFF\xFE"))
        return CodePage::decode(CodePage::Utf16LE, bytes.sliced(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return CodePage::decode(CodePage::isValidUtf8(bytes) ? CodePage::Utf8 : CodePage::Windows1251, bytes);
}

// The entries of every section named like the data file, in file order.
std::vector<Entry> sectionEntries(const QString& content, const QString& fileName)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    std::vector<Entry> entries;
    bool inSection = false;
    const QStringList lines = content.split(lineBreak);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inSection = line.mid(1, line.size() - 2).trimmed().compare(fileName, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inSection && equals > 0)
            entries.push_back({line.left(equals).trimmed(), line.mid(equals + 1).trimmed(), i + 1, fileName});
    }
    return entries;
}

char singleAscii(const QString& text)
{
    return text.size() == 1 && text[0].unicode() > 0 && text[0].unicode() < 0x80 ? char(text[0].unicode())
                                                                                 : 0;
}

char parseFormat(const Entry& entry, TextSchema::Format* format)
{
    const QString& value = entry.value;
    if (value.compare(QLatin1String("CSVDelimited"), Qt::CaseInsensitive) == 0) {
        *format = TextSchema::Format::Delimited;
        return ',';
    }
    if (value.compare(QLatin1String("TabDelimited"), Qt::CaseInsensitive) == 0) {
        *format = TextSchema::Format::Delimited;
        return '\t';
    }
    if (value.compare(QLatin1String("FixedLength"), Qt::CaseInsensitive) == 0) {
        *format = TextSchema::Format::FixedLength;
        return 0;
    }
    if (value.startsWith(QLatin1String("Delimited("), Qt::CaseInsensitive) &&
        value.endsWith(QLatin1Char(')'))) {
        const char delimiter = singleAscii(value.mid(10, value.size() - 11));
        if (!delimiter || delimiter == '"')
            fail(entry,
                 QCoreApplication::translate(
                     "TextSchema", "разделитель в «%1» должен быть одним латинским знаком, не кавычкой")
                     .arg(shownValue(value)));
        *format = TextSchema::Format::Delimited;
        return delimiter;
    }
    fail(entry, QCoreApplication::translate("TextSchema",
                                            "неизвестный формат «%1» (допустимы CSVDelimited, TabDelimited, "
                                            "Delimited(x) и FixedLength)")
                    .arg(shownValue(value)));
}

CodePage::Id parseCharacterSet(const Entry& entry)
{
    const QString value = entry.value.toUpper();
    if (value == QLatin1String("ANSI") || value == QLatin1String("1251"))
        return CodePage::Windows1251;
    if (value == QLatin1String("OEM") || value == QLatin1String("866"))
        return CodePage::Dos866;
    if (value == QLatin1String("UNICODE") || value == QLatin1String("1200"))
        return CodePage::Utf16LE;
    if (value == QLatin1String("65001"))
        return CodePage::Utf8;
    fail(entry,
         QCoreApplication::translate(
             "TextSchema", "неизвестная кодировка «%1» (допустимы ANSI, OEM, Unicode, 1251, 866, 65001)")
             .arg(shownValue(entry.value)));
}

bool parseBool(const Entry& entry)
{
    const QString value = entry.value.toLower();
    if (value == QLatin1String("true") || value == QLatin1String("yes") || value == QLatin1String("1"))
        return true;
    if (value == QLatin1String("false") || value == QLatin1String("no") || value == QLatin1String("0"))
        return false;
    fail(entry, QCoreApplication::translate("TextSchema", "%1 должно быть True или False, а не «%2»")
                    .arg(shownValue(entry.key), shownValue(entry.value)));
}

// "Name Type [Width n]" or "\"Name with blanks\" Type [Width n]".
TextSchema::Column parseColumn(const Entry& entry)
{
    TextSchema::Column column;
    column.line = entry.line;
    QString rest;
    if (entry.value.startsWith(QLatin1Char('"'))) {
        const qsizetype close = entry.value.indexOf(QLatin1Char('"'), 1);
        if (close < 0)
            fail(entry, QCoreApplication::translate("TextSchema", "незакрытые кавычки в имени столбца"));
        column.name = entry.value.mid(1, close - 1);
        rest = entry.value.mid(close + 1);
    } else {
        const qsizetype blank = entry.value.indexOf(QLatin1Char(' '));
        column.name = blank < 0 ? entry.value : entry.value.left(blank);
        rest = blank < 0 ? QString() : entry.value.mid(blank + 1);
    }
    column.name = column.name.trimmed();
    if (column.name.isEmpty())
        fail(entry, QCoreApplication::translate("TextSchema", "у столбца %1 не указано имя").arg(entry.key));
    const QStringList words = rest.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i].compare(QLatin1String("Width"), Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        column.width = i + 1 < words.size() ? words[i + 1].toInt(&ok) : 0;
        if (!ok || column.width <= 0)
            fail(entry, QCoreApplication::translate("TextSchema", "у столбца «%1» неверная ширина")
                            .arg(shownValue(column.name)));
    }
    return column;
}

// The N of a "ColN" key. Refused rather than read some other way: a number
// that overflows, 0 or one with a leading zero would silently put the column
// elsewhere.
int columnNumber(const Entry& entry, const QString& digits)
{
    const int maximum = int(TextRecordParser::kMaxFields);
    if (digits == QLatin1String("0"))
        fail(entry,
             QCoreApplication::translate("TextSchema", "ключ %1: столбцы нумеруются с Col1").arg(entry.key));
    if (digits.startsWith(QLatin1Char('0')))
        fail(entry,
             QCoreApplication::translate("TextSchema", "ключ %1: номер столбца пишется без нулей впереди")
                 .arg(entry.key));
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number > maximum)
        fail(entry,
             QCoreApplication::translate("TextSchema", "ключ %1: столбцов в таблице не бывает больше %2")
                 .arg(shownValue(entry.key))
                 .arg(maximum));
    return number;
}

} // namespace

std::optional<TextSchema> TextSchema::load(const QString& folder, const QString& fileName)
{
    // Written on Windows, the file may be called "Schema.ini" or "SCHEMA.INI".
    // Pipes and devices are listed too, so that they are refused rather than
    // passed over; names are compared here, cheaper than a name filter.
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    const auto found = std::find_if(names.begin(), names.end(), [](const QString& name) {
        return name.compare(kFileName, Qt::CaseInsensitive) == 0;
    });
    if (found == names.end())
        return std::nullopt;
    QFile file(QDir(folder).filePath(*found));
    openRegularFile(file, kFileName);
    if (file.size() > kMaxSchemaSize)
        throw Error(QCoreApplication::translate("TextSchema", "Файл %1 длиннее 1 МБ: это не описание файлов")
                        .arg(kFileName));
    const QByteArray bytes = file.read(kMaxSchemaSize);
    if (file.error() != QFileDevice::NoError)
        throw Error(QCoreApplication::translate("TextSchema", "Файл %1 не удаётся прочитать: %2")
                        .arg(kFileName, file.errorString()));
    return parse(bytes, fileName);
}

void TextSchema::checkDelimiter(char fieldDelimiter, const QString& fileName) const
{
    // A decimal symbol that delimits is fine: a quoted number keeps it, and
    // the reader refuses records an unquoted one splits.
    if (textDelimiter == fieldDelimiter)
        throw Error::atLine(
            kFileName, textDelimiterLine,
            QCoreApplication::translate("TextSchema", "TextDelimiter «%1» совпадает с разделителем полей")
                .arg(shownValue(QString(QLatin1Char(textDelimiter)))),
            fileName);
}

std::optional<TextSchema> TextSchema::parse(QByteArrayView bytes, const QString& fileName)
{
    const std::vector<Entry> entries = sectionEntries(decodeSchemaFile(bytes), fileName);
    if (entries.empty())
        return std::nullopt;

    static const QRegularExpression columnKey(QStringLiteral("^col([0-9]+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    TextSchema schema;
    int formatLine = 0;
    int headerLine = 0;
    std::map<int, Column> columns; // by the N of ColN
    for (const Entry& entry : entries) {
        const auto is = [&](const char* key) {
            return entry.key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
        };
        if (is("Format")) {
            schema.delimiter = parseFormat(entry, &schema.format);
            formatLine = entry.line;
        } else if (is("ColNameHeader")) {
            schema.columnNameHeader = parseBool(entry);
            headerLine = entry.line;
        } else if (is("CharacterSet")) {
            schema.codePage = parseCharacterSet(entry);
        } else if (is("TextDelimiter") || is("TextDelimeter")) {
            schema.textDelimiterLine = entry.line;
            if (entry.value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
                schema.textDelimiter = 0;
            else if (!(schema.textDelimiter = singleAscii(entry.value)))
                fail(entry, QCoreApplication::translate("TextSchema",
                                                        "%1 должен быть одним латинским знаком или none")
                                .arg(entry.key));
        } else if (is("DecimalSymbol")) {
            if (!(schema.decimalSymbol = singleAscii(entry.value)))
                fail(entry, QCoreApplication::translate("TextSchema",
                                                        "DecimalSymbol должен быть одним латинским знаком"));
        } else if (const QRegularExpressionMatch match = columnKey.match(entry.key); match.hasMatch()) {
            const int number = columnNumber(entry, match.captured(1));
            if (const auto earlier = columns.find(number); earlier != columns.end())
                fail(entry,
                     QCoreApplication::translate("TextSchema", "ключ %1: столбец %2 уже задан в строке %3")
                         .arg(entry.key)
                         .arg(number)
                         .arg(earlier->second.line));
            columns[number] = parseColumn(entry);
        }
    }

    int expected = 1;
    for (const auto& numbered : columns) {
        const Column& column = numbered.second;
        // A gap would shift every later column onto its neighbour's values.
        if (numbered.first != expected)
            throw Error::atLine(
                kFileName, column.line,
                QCoreApplication::translate("TextSchema", "ключ Col%1: пропущен столбец Col%2")
                    .arg(numbered.first)
                    .arg(expected),
                fileName);
        ++expected;
        if (schema.format == Format::FixedLength && column.width == 0)
            throw Error::atLine(
                kFileName, column.line,
                QCoreApplication::translate("TextSchema",
                                            "у столбца «%1» не указана ширина (Width), а формат FixedLength")
                    .arg(shownValue(column.name)),
                fileName);
        schema.columns.push_back(column);
    }
    if (schema.format == Format::FixedLength && schema.columns.empty())
        throw Error::atLine(
            kFileName, formatLine,
            QCoreApplication::translate("TextSchema",
                                        "для формата FixedLength нужны столбцы Col1, Col2, … с шириной"),
            fileName);
    if (!schema.columnNameHeader && schema.columns.empty())
        throw Error::atLine(
            kFileName, headerLine,
            QCoreApplication::translate("TextSchema",
                                        "без строки заголовка (ColNameHeader=False) нужны имена столбцов "
                                        "Col1, Col2, …"),
            fileName);
    if (!schema.columnNameHeader && schema.format == Format::Unspecified)
        throw Error::atLine(kFileName, headerLine,
                            QCoreApplication::translate(
                                "TextSchema", "без строки заголовка (ColNameHeader=False) нужен ключ Format: "
                                              "разделитель не из чего узнать"),
                            fileName);
    if (schema.format == Format::Delimited)
        schema.checkDelimiter(schema.delimiter, fileName);
    return schema;
}
