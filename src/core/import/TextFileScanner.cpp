#include "TextFileScanner.h"

#include "core/errors/Error.h"
#include "core/files/OpenRegularFile.h"
#include "core/import/ProgressReporter.h"

#include <QCoreApplication>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kChunkSize = 1 << 20;

} // namespace

TextFileScanner::TextFileScanner(const QString& path, const QString& name, ProgressReporter* progress)
    : m_name(name), m_file(path), m_progress(progress)
{
    openRegularFile(m_file, m_name);
    const QByteArray start = m_file.peek(3);
    qint64 markSize = 0;
    if (start.startsWith("\xEF\xBB\xBF")) {
        m_byteOrderMark = ByteOrderMark::Utf8;
        markSize = 3;
    } else if (start.startsWith("\xFF\xFE")) {
        m_byteOrderMark = ByteOrderMark::Utf16LE;
        m_utf16 = QSysInfo::LittleEndian;
        markSize = 2;
    } else if (start.startsWith("\xFE\xFF")) {
        m_byteOrderMark = ByteOrderMark::Utf16BE;
        m_utf16 = QSysInfo::BigEndian;
        markSize = 2;
    }
    m_file.skip(markSize);
    setSyntax(0, 0);
}

void TextFileScanner::readAsUtf16LE()
{
    if (!m_utf16)
        m_utf16 = QSysInfo::LittleEndian;
}

void TextFileScanner::setSyntax(char delimiter, char quote)
{
    m_parser.emplace(delimiter, quote);
}

void TextFileScanner::fail(qint64 line, const QString& problem) const
{
    throw Error::atLine(m_name, line, problem);
}

void TextFileScanner::fill()
{
    m_buffer.remove(0, m_position);
    m_position = 0;
    // A record longer than the buffer is parsed again from its start after
    // each read: reading as much again as it holds keeps that linear. No more
    // than the file has left, though: most files are smaller than a chunk.
    const qint64 size =
        std::clamp(m_file.size() - m_file.pos(), qint64(1), std::max(kChunkSize, qint64(m_buffer.size())));
    QByteArray chunk(size, Qt::Uninitialized);
    const qint64 read = m_file.read(chunk.data(), size);
    if (read < 0)
        throw Error(QCoreApplication::translate("TextFileScanner", "Файл %1 не удаётся прочитать: %2")
                        .arg(m_name, m_file.errorString()));
    chunk.truncate(read);
    m_atEnd = read == 0;
    if (m_utf16)
        appendUtf16(chunk);
    else
        m_buffer += chunk;
    if (m_progress)
        m_progress->update(m_file.pos(), m_file.size());
}

// Checked here, as the old driver silently stored "?" for a broken character.
// A character cut between two chunks waits in m_utf16Tail for the next one.
void TextFileScanner::appendUtf16(QByteArrayView chunk)
{
    m_utf16Tail += chunk;
    const char* bytes = m_utf16Tail.constData();
    const qsizetype units = m_utf16Tail.size() / 2;
    const auto unit = [&](qsizetype i) {
        return *m_utf16 == QSysInfo::LittleEndian ? qFromLittleEndian<char16_t>(bytes + 2 * i)
                                                  : qFromBigEndian<char16_t>(bytes + 2 * i);
    };
    QString text(units, Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype i = 0;
    QString problem;
    while (i < units) {
        const char16_t c = unit(i);
        if (QChar::isHighSurrogate(c) && i + 1 == units) {
            if (m_atEnd)
                problem = QCoreApplication::translate("TextFileScanner",
                                                      "файл UTF-16 обрывается на половине знака");
            break;
        }
        if (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(unit(i + 1))) {
            *out++ = QChar(c);
            *out++ = QChar(unit(i + 1));
            i += 2;
            continue;
        }
        if (QChar::isSurrogate(c)) {
            problem = QCoreApplication::translate(
                "TextFileScanner", "неверный текст UTF-16: половина суррогатной пары без второй половины");
            break;
        }
        *out++ = QChar(c);
        ++i;
    }
    if (problem.isEmpty() && m_atEnd && m_utf16Tail.size() % 2 != 0)
        problem = QCoreApplication::translate("TextFileScanner", "файл UTF-16 обрывается на половине знака");
    text.truncate(out - text.constData());
    m_buffer += text.toUtf8();
    m_utf16Tail.remove(0, 2 * i);
    if (!problem.isEmpty())
        fail(m_nextLine + TextRecordParser::countLineBreaks(m_buffer.constData(),
                                                            m_buffer.constData() + m_buffer.size()),
             problem);
}

// Told apart only by reading on, without keeping what is read: a quote closed
// after 16 MiB makes a record no column could hold, one never closed is a
// quote left open.
void TextFileScanner::failLongQuotedRecord(qsizetype openQuote)
{
    const qint64 recordLine = m_nextLine;
    const char* record = m_buffer.constData() + m_position;
    const qint64 quoteLine = m_nextLine + TextRecordParser::countLineBreaks(record, record + openQuote);
    const char quote = m_parser->quote();
    const QString tooLong = QCoreApplication::translate(
        "TextFileScanner", "запись длиннее 16 МБ: в ней значение в кавычках такой длины");
    qsizetype scan = m_position + openQuote + 1;
    bool closing = false; // after a quote, which closes the field unless another follows
    for (;;) {
        while (scan < m_buffer.size()) {
            if (closing) {
                if (m_buffer[scan] != quote)
                    fail(recordLine, tooLong);
                closing = false;
                ++scan;
                continue;
            }
            const char* data = m_buffer.constData();
            const auto* found =
                static_cast<const char*>(std::memchr(data + scan, quote, size_t(m_buffer.size() - scan)));
            scan = found ? found - data + 1 : m_buffer.size();
            closing = found != nullptr;
        }
        if (m_atEnd) {
            if (closing)
                fail(recordLine, tooLong);
            fail(quoteLine, QCoreApplication::translate("TextFileScanner", "незакрытые кавычки"));
        }
        // Lines still count for a broken UTF-16 character found further on.
        m_nextLine += TextRecordParser::countLineBreaks(m_buffer.constData() + m_position,
                                                        m_buffer.constData() + m_buffer.size());
        m_position = m_buffer.size();
        scan = 0;
        fill();
    }
}

bool TextFileScanner::next()
{
    for (;;) {
        if (m_position == m_buffer.size()) {
            if (m_atEnd)
                return false;
            fill();
            continue;
        }
        const char* begin = m_buffer.constData() + m_position;
        const char* end = m_buffer.constData() + m_buffer.size();
        const char* next = nullptr;
        switch (m_parser->parse(begin, end, m_atEnd, &next)) {
        case TextRecordParser::Status::Complete:
            m_position = next - m_buffer.constData();
            m_line = m_nextLine;
            m_nextLine += m_parser->lineBreaks();
            return true;
        case TextRecordParser::Status::Unterminated:
            fail(m_nextLine + m_parser->lineBreaks(),
                 QCoreApplication::translate("TextFileScanner", "незакрытые кавычки"));
        case TextRecordParser::Status::TooManyFields:
            fail(m_nextLine, QCoreApplication::translate(
                                 "TextFileScanner",
                                 "в строке больше %1 значений, а столбцов в таблице не бывает больше %1")
                                 .arg(TextRecordParser::kMaxFields));
        case TextRecordParser::Status::NeedMoreQuoted:
            if (end - begin > kMaxRecordSize)
                failLongQuotedRecord(m_parser->openQuote());
            fill();
            break;
        case TextRecordParser::Status::NeedMore:
            if (end - begin > kMaxRecordSize)
                fail(m_nextLine, QCoreApplication::translate("TextFileScanner",
                                                             "строка длиннее 16 МБ: это не текстовый файл"));
            fill();
            break;
        }
    }
}
