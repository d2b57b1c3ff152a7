#include "TextFileScanner.h"

#include "core/import/ProgressReporter.h"
#include "core/text/Error.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr qint64 kChunkSize = 1 << 20;
// A record this long is a quote left open or not a text file at all; the
// limit keeps such a file from being read whole into memory.
constexpr qsizetype kMaxRecordSize = 16 << 20;

} // namespace

TextFileScanner::TextFileScanner(const QString& path, const QString& name, ProgressReporter* progress)
    : m_name(name), m_file(path), m_progress(progress)
{
    if (!m_file.exists())
        throw Error(QStringLiteral("Файл %1 не найден в папке %2")
                        .arg(m_name, QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    if (!m_file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Файл %1 не удаётся открыть: %2").arg(m_name, m_file.errorString()));
    const QByteArray start = m_file.peek(3);
    qint64 markSize = 0;
    if (start.startsWith("\xEF\xBB\xBF")) {
        m_byteOrderMark = ByteOrderMark::Utf8;
        markSize = 3;
    } else if (start.startsWith("\xFF\xFE")) {
        m_byteOrderMark = ByteOrderMark::Utf16LE;
        m_utf16.emplace(QStringConverter::Utf16LE);
        markSize = 2;
    } else if (start.startsWith("\xFE\xFF")) {
        m_byteOrderMark = ByteOrderMark::Utf16BE;
        m_utf16.emplace(QStringConverter::Utf16BE);
        markSize = 2;
    }
    m_file.skip(markSize);
    setSyntax(0, 0);
}

void TextFileScanner::readAsUtf16LE()
{
    if (!m_utf16)
        m_utf16.emplace(QStringConverter::Utf16LE);
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
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    const qint64 read = m_file.read(chunk.data(), kChunkSize);
    if (read < 0)
        throw Error(QStringLiteral("Файл %1 не удаётся прочитать: %2").arg(m_name, m_file.errorString()));
    chunk.truncate(read);
    if (m_utf16) {
        // Stateful: a character cut between two chunks is joined up.
        m_buffer += QString(m_utf16->decode(chunk)).toUtf8();
    } else {
        m_buffer += chunk;
    }
    m_atEnd = read == 0;
    if (m_progress)
        m_progress->update(m_file.pos(), m_file.size());
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
            fail(m_nextLine + m_parser->lineBreaks(), QStringLiteral("незакрытые кавычки"));
        case TextRecordParser::Status::NeedMoreQuoted:
            if (end - begin > kMaxRecordSize)
                fail(m_nextLine, QStringLiteral("незакрытые кавычки (запись длиннее 16 МБ)"));
            fill();
            break;
        case TextRecordParser::Status::NeedMore:
            if (end - begin > kMaxRecordSize)
                fail(m_nextLine, QStringLiteral("строка длиннее 16 МБ: это не текстовый файл"));
            fill();
            break;
        }
    }
}
