#pragma once

#include "core/import/TextRecordParser.h"

#include <QByteArray>
#include <QFile>
#include <QSysInfo>

#include <optional>

class ProgressReporter;

// Streams the records of a text file through a TextRecordParser, keeping only
// a window of the file in memory, counting lines and reporting progress.
// UTF-16 files are turned into UTF-8 as they are read.
class TextFileScanner
{
public:
    enum class ByteOrderMark
    {
        None,
        Utf8,
        Utf16LE,
        Utf16BE
    };

    // A record this long is a quote left open or not a text file at all; the
    // limit keeps such a file from being read whole into memory.
    static constexpr qsizetype kMaxRecordSize = 16 << 20;

    // Opens the file, which must be a regular one; name is how messages call
    // it. Throws Error.
    TextFileScanner(const QString& path, const QString& name, ProgressReporter* progress);

    ByteOrderMark byteOrderMark() const { return m_byteOrderMark; }
    // For a file declared UTF-16LE that carries no mark; before the first record.
    void readAsUtf16LE();
    void setSyntax(char delimiter, char quote);

    // The next record; false at the end of the file. Throws Error.
    bool next();
    const TextRecordParser& record() const { return *m_parser; }
    // The line on which the current record starts, from 1.
    qint64 line() const { return m_line; }

private:
    void fill();
    void appendUtf16(QByteArrayView chunk);
    [[noreturn]] void failLongQuotedRecord(qsizetype openQuote);
    [[noreturn]] void fail(qint64 line, const QString& problem) const;

    QString m_name;
    QFile m_file;
    ProgressReporter* m_progress;
    ByteOrderMark m_byteOrderMark = ByteOrderMark::None;
    std::optional<QSysInfo::Endian> m_utf16;
    QByteArray m_utf16Tail; // the end of the file read so far that is not yet a whole character
    std::optional<TextRecordParser> m_parser;
    QByteArray m_buffer;
    qsizetype m_position = 0; // of the next record in m_buffer
    bool m_atEnd = false;
    qint64 m_line = 0;
    qint64 m_nextLine = 1;
};
