#include "SupplierFileReader.h"

#include "core/errors/Error.h"
#include "core/text/ShownValue.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

bool isBlank(QByteArrayView bytes)
{
    for (char c : bytes)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

// From the first to the last byte outside ASCII; empty when there is none.
QByteArrayView nonAsciiSpan(QByteArrayView bytes)
{
    const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    const char* first = std::find_if_not(bytes.begin(), bytes.end(), isAscii);
    if (first == bytes.end())
        return QByteArrayView();
    const char* last = std::find_if_not(bytes.rbegin(), bytes.rend(), isAscii).base();
    return QByteArrayView(first, last);
}

// The same as every field being valid UTF-8, in one pass over the record:
// the fields' bytes lie back to back, so a field is cut out of a valid whole
// only where a sequence goes on into the next field. ASCII around the rest
// is whole characters and needs no look.
bool isValidUtf8ByField(const TextRecordParser& record, QByteArrayView nonAscii)
{
    if (!CodePage::isValidUtf8(nonAscii))
        return false;
    for (size_t i = 1; i < record.fields().size(); ++i) {
        const QByteArrayView field = record.field(i);
        if (!field.isEmpty() && (static_cast<unsigned char>(field.front()) & 0xC0) == 0x80)
            return false;
    }
    return true;
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.front() == '\t'))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\t'))
        bytes.chop(1);
    return bytes;
}

} // namespace

SupplierFileReader::SupplierFileReader(const QString& path, std::vector<TableColumn> columns,
                                       ProgressReporter* progress)
    : m_name(QFileInfo(path).fileName()), m_columns(std::move(columns)), m_scanner(path, m_name, progress),
      m_schema(TextSchema::load(QFileInfo(path).absolutePath(), m_name)), m_converter(CodePage::Utf8, 0, 0),
      m_values(m_columns.size())
{
    chooseCodePage();
    readHeader();
}

void SupplierFileReader::fail(qint64 line, const QString& problem) const
{
    throw Error::atLine(m_name, line, problem);
}

void SupplierFileReader::chooseCodePage()
{
    switch (m_scanner.byteOrderMark()) {
    case TextFileScanner::ByteOrderMark::Utf8:
        m_utf8Check = Utf8Check::Declared;
        return;
    case TextFileScanner::ByteOrderMark::Utf16LE:
    case TextFileScanner::ByteOrderMark::Utf16BE:
        m_utf8Check = Utf8Check::None;
        return;
    case TextFileScanner::ByteOrderMark::None:
        break;
    }
    if (!m_schema || !m_schema->codePage)
        return;
    switch (*m_schema->codePage) {
    case CodePage::Utf8:
        m_utf8Check = Utf8Check::Declared;
        break;
    case CodePage::Utf16LE:
        m_scanner.readAsUtf16LE();
        m_utf8Check = Utf8Check::None;
        break;
    case CodePage::Windows1251:
    case CodePage::Dos866:
        m_converter.setCodePage(*m_schema->codePage);
        m_utf8Check = Utf8Check::None;
        break;
    }
}

bool SupplierFileReader::nextNonBlank()
{
    while (m_scanner.next())
        if (!isBlank(m_scanner.record().bytes()))
            return true;
    return false;
}

void SupplierFileReader::readHeader()
{
    const TextSchema::Format format = m_schema ? m_schema->format : TextSchema::Format::Unspecified;
    const bool header = !m_schema || m_schema->columnNameHeader;
    const bool namedBySchema = m_schema && !m_schema->columns.empty();
    m_quote = m_schema ? m_schema->textDelimiter : '"';
    char delimiter = 0;
    std::vector<QString> names;
    qint64 headerLine = 1;

    if (format == TextSchema::Format::FixedLength) {
        for (const TextSchema::Column& column : m_schema->columns)
            m_widths.push_back(column.width);
        if (header)
            nextNonBlank();
    } else if (format == TextSchema::Format::Delimited) {
        delimiter = m_schema->delimiter;
        m_scanner.setSyntax(delimiter, m_quote);
        if (header && nextNonBlank() && !namedBySchema) {
            headerLine = m_scanner.line();
            checkEncoding();
            for (size_t i = 0; i < m_scanner.record().fields().size(); ++i)
                names.push_back(m_converter.decode(m_scanner.record().field(i)));
        }
    } else if (nextNonBlank()) {
        // Without a declared format the header line shows the delimiter.
        headerLine = m_scanner.line();
        checkEncoding();
        names = detectDelimiter(m_scanner.record().field(0), &delimiter);
        if (m_schema)
            m_schema->checkDelimiter(delimiter, m_name);
        m_scanner.setSyntax(delimiter, m_quote);
    }
    if (namedBySchema) {
        names.clear();
        for (const TextSchema::Column& column : m_schema->columns)
            names.push_back(column.name);
    } else if (names.empty()) {
        fail(1,
             QCoreApplication::translate("SupplierFileReader", "файл пуст: нет строки с именами столбцов"));
    }
    const char decimalSymbol = m_schema ? m_schema->decimalSymbol : 0;
    m_converter = FieldConverter(m_converter.codePage(), decimalSymbol, delimiter);
    m_decimalDelimits = decimalSymbol && decimalSymbol == delimiter;
    mapColumns(std::move(names), headerLine);
}

std::vector<QString> SupplierFileReader::detectDelimiter(QByteArrayView line, char* delimiter) const
{
    std::vector<QString> best;
    int bestKnown = 0;
    for (const char candidate : {';', '\t', ',', '|'}) {
        TextRecordParser parser(candidate, m_quote);
        const char* next = nullptr;
        switch (parser.parse(line.data(), line.data() + line.size(), true, &next)) {
        case TextRecordParser::Status::Unterminated:
            fail(m_scanner.line(), QCoreApplication::translate("SupplierFileReader", "незакрытые кавычки"));
        case TextRecordParser::Status::TooManyFields:
            fail(m_scanner.line(),
                 QCoreApplication::translate(
                     "SupplierFileReader",
                     "в строке заголовка больше %1 столбцов (через «%2»), а в таблице их не бывает "
                     "больше %1")
                     .arg(TextRecordParser::kMaxFields)
                     .arg(shownValue(QString(QLatin1Char(candidate)))));
        default:
            break;
        }
        std::vector<QString> names;
        int known = 0;
        for (size_t i = 0; i < parser.fields().size(); ++i) {
            names.push_back(m_converter.decode(parser.field(i)));
            for (const TableColumn& column : m_columns)
                known += names.back().compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0;
        }
        if (known > bestKnown) {
            bestKnown = known;
            best = std::move(names);
            *delimiter = candidate;
        }
    }
    if (best.empty()) {
        // No candidate finds a known name, which mapColumns() reports.
        *delimiter = ';';
        best = {QString()};
    }
    return best;
}

void SupplierFileReader::mapColumns(std::vector<QString> names, qint64 headerLine)
{
    const bool namedBySchema = m_schema && !m_schema->columns.empty();
    const auto failAt = [&](size_t index, const QString& problem) {
        if (!namedBySchema)
            fail(headerLine, problem);
        throw Error::atLine(TextSchema::kFileName, m_schema->columns[index].line, problem, m_name);
    };
    QStringList tableNames;
    for (const TableColumn& column : m_columns)
        tableNames << QLatin1String(column.name);

    // A trailing delimiter leaves empty names at the end; a nameless column
    // elsewhere is called F1, F2, ... by its place, so an error can name it.
    while (!names.empty() && names.back().trimmed().isEmpty())
        names.pop_back();
    int known = 0;
    qsizetype firstUnknown = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        QString name = names[i].trimmed();
        if (name.isEmpty())
            name = QStringLiteral("F%1").arg(i + 1);
        qsizetype target = -1;
        for (qsizetype t = 0; t < tableNames.size() && target < 0; ++t)
            if (tableNames[t].compare(name, Qt::CaseInsensitive) == 0)
                target = t;
        if (target >= 0) {
            if (std::find(m_fileColumns.begin(), m_fileColumns.end(), int(target)) != m_fileColumns.end())
                failAt(i, QCoreApplication::translate("SupplierFileReader", "столбец «%1» указан дважды")
                              .arg(shownValue(name)));
            ++known;
        } else if (firstUnknown < 0) {
            firstUnknown = qsizetype(i);
        }
        m_fileColumns.push_back(int(target));
        names[i] = name;
    }
    for (qsizetype t = 0; t < tableNames.size(); ++t)
        if (std::find(m_fileColumns.begin(), m_fileColumns.end(), int(t)) == m_fileColumns.end())
            m_missingColumns.push_back(int(t));
    if (known == 0)
        failAt(0, QCoreApplication::translate("SupplierFileReader",
                                              "нет ни одного известного имени столбца; ожидаются: %1")
                      .arg(tableNames.join(QStringLiteral(", "))));
    if (firstUnknown >= 0)
        failAt(
            size_t(firstUnknown),
            QCoreApplication::translate("SupplierFileReader", "неизвестный столбец «%1»; в таблице есть: %2")
                .arg(shownValue(names[size_t(firstUnknown)]), tableNames.join(QStringLiteral(", "))));
}

void SupplierFileReader::checkEncoding()
{
    const TextRecordParser& record = m_scanner.record();
    const QByteArrayView bytes = record.bytes();
    // Stored, a NUL would cut the value wherever it is shown.
    if (std::memchr(bytes.data(), 0, size_t(bytes.size()))) {
        // Latin text in UTF-16 read byte by byte is every other byte a NUL.
        if (std::count(bytes.begin(), bytes.end(), '\0') * 3 >= bytes.size())
            fail(m_scanner.line(),
                 QCoreApplication::translate("SupplierFileReader",
                                             "текст похож на UTF-16 без метки порядка байтов (BOM); "
                                             "сохраните файл в UTF-8 или в UTF-16 с меткой"));
        fail(m_scanner.line(),
             QCoreApplication::translate("SupplierFileReader",
                                         "нулевой байт в тексте: файл повреждён или это не текстовый файл"));
    }
    if (m_utf8Check == Utf8Check::None)
        return;
    const QByteArrayView nonAscii = nonAsciiSpan(record.bytes());
    if (nonAscii.isEmpty())
        return;
    if (!isValidUtf8ByField(record, nonAscii)) {
        for (size_t i = 0; i < record.fields().size(); ++i) {
            if (CodePage::isValidUtf8(record.field(i)))
                continue;
            switch (m_utf8Check) {
            case Utf8Check::Guess:
                // Nothing read so far was anything but ASCII, which 1251 reads
                // alike: going on as 1251 is the same as starting over.
                m_converter.setCodePage(CodePage::Windows1251);
                m_utf8Check = Utf8Check::None;
                return;
            case Utf8Check::Guessed:
                fail(m_scanner.line(),
                     QCoreApplication::translate("SupplierFileReader",
                                                 "текст не в UTF-8, хотя выше в файле был текст в UTF-8; "
                                                 "сохраните файл целиком в одной кодировке "
                                                 "(UTF-8 или Windows-1251)"));
            case Utf8Check::Declared:
            case Utf8Check::None:
                fail(m_scanner.line(),
                     QCoreApplication::translate("SupplierFileReader",
                                                 "текст не в кодировке UTF-8, указанной для файла"));
            }
        }
    }
    if (m_utf8Check == Utf8Check::Guess)
        m_utf8Check = Utf8Check::Guessed;
}

void SupplierFileReader::splitRecord()
{
    const TextRecordParser& record = m_scanner.record();
    m_fields.clear();
    if (m_widths.empty()) {
        for (size_t i = 0; i < record.fields().size(); ++i)
            m_fields.push_back(record.field(i));
        return;
    }
    QByteArrayView line = record.field(0);
    for (const int width : m_widths) {
        const qsizetype size = m_converter.charactersPrefix(line, width);
        m_fields.push_back(trimmed(line.first(size)));
        line = line.sliced(size);
    }
    if (!line.isEmpty())
        m_fields.push_back(trimmed(line));
}

bool SupplierFileReader::next()
{
    while (nextNonBlank()) {
        checkEncoding();
        splitRecord();
        // Where the decimal symbol delimits, an unquoted "1234,50" is 1234 and
        // 50 in the next column, shifting the rest; the surplus it leaves may
        // be blank, so any surplus refuses the record.
        if (m_decimalDelimits && m_fields.size() > m_fileColumns.size())
            fail(line(), QCoreApplication::translate("SupplierFileReader",
                                                     "значений больше (%1), чем столбцов (%2), а "
                                                     "десятичный знак «%3» совпадает с разделителем полей: "
                                                     "число с дробной частью должно быть в кавычках")
                             .arg(m_fields.size())
                             .arg(m_fileColumns.size())
                             .arg(shownValue(QString(QLatin1Char(m_schema->decimalSymbol)))));
        for (size_t i = 0; i < m_fields.size(); ++i) {
            const QByteArrayView field = m_fields[i];
            if (i >= m_fileColumns.size()) {
                if (!isBlank(field))
                    fail(line(), QCoreApplication::translate("SupplierFileReader",
                                                             "лишнее значение «%1» после последнего столбца")
                                     .arg(m_converter.shown(field)));
                continue;
            }
            const int target = m_fileColumns[i];
            if (m_converter.convert(field, m_columns[size_t(target)], m_values[size_t(target)]))
                continue;
            ++m_adjustedCount;
            if (m_adjustments.size() < kAdjustmentExamples)
                m_adjustments.push_back({m_name, line(), QLatin1String(m_columns[size_t(target)].name),
                                         m_converter.shown(field)});
        }
        // A short record: the columns it lacks are empty.
        for (size_t i = m_fields.size(); i < m_fileColumns.size(); ++i)
            m_values[size_t(m_fileColumns[i])] = std::monostate();
        return true;
    }
    return false;
}

void SupplierFileReader::takeValues(Value* into)
{
    for (const int column : m_fileColumns) {
        Value& value = m_values[size_t(column)];
        auto* text = std::get_if<std::string>(&value);
        if (!text) {
            into[column] = value;
            continue;
        }
        if (auto* other = std::get_if<std::string>(&into[column]))
            text->swap(*other);
        else
            std::swap(value, into[column]);
    }
    // Whatever into held there must not come back as this file's data.
    for (const int column : m_missingColumns)
        into[column] = std::monostate();
}
