#pragma once

#include <QByteArrayView>

#include <string>
#include <vector>

// Splits one record of a delimited text file into its fields: quoted fields
// may hold delimiters, doubled quotes and line breaks; a record ends at CR,
// LF or CRLF. Works on bytes, so it serves UTF-8 and single-byte code pages.
class TextRecordParser
{
public:
    enum class Status
    {
        Complete,
        NeedMore,       // the bytes end inside the record and more may follow
        NeedMoreQuoted, // the same, inside a quoted field
        Unterminated,   // the file ends inside a quoted field
        TooManyFields   // more than kMaxFields: more columns than a table can hold
    };
    // A table has at most this many columns, so a longer line is a broken
    // file; ColN keys stop here too. Checked as the fields are found, so a
    // line of millions of delimiters is refused early.
    static constexpr size_t kMaxFields = 255;
    struct Field
    {
        qsizetype offset; // into bytes()
        qsizetype size;
    };

    // delimiter 0: the whole line is one field, untrimmed; quote 0: nothing is quoted.
    TextRecordParser(char delimiter, char quote);

    // Parses the record at the start of [begin, end). atEnd: nothing follows end.
    // On Complete, *next is where the following record starts.
    Status parse(const char* begin, const char* end, bool atEnd, const char** next);

    char quote() const { return m_quote; }
    const std::vector<Field>& fields() const { return m_fields; }
    // Every field's bytes back to back.
    QByteArrayView bytes() const { return QByteArrayView(m_bytes.data(), qsizetype(m_bytes.size())); }
    QByteArrayView field(size_t index) const
    {
        return QByteArrayView(m_bytes.data() + m_fields[index].offset, m_fields[index].size);
    }
    // Line breaks inside the record and its terminator; on Unterminated, those
    // before the opening quote.
    int lineBreaks() const { return m_lineBreaks; }
    // On NeedMoreQuoted and Unterminated: where the open quote is, from begin.
    qsizetype openQuote() const { return m_openQuote; }

    // CR, LF and CRLF in [begin, end), each counted once.
    static int countLineBreaks(const char* begin, const char* end);

private:
    bool isBlank(char c) const { return (c == ' ' || c == '\t') && c != m_delimiter; }
    bool isStop(char c) const { return m_stop[static_cast<unsigned char>(c)]; }

    char m_delimiter;
    char m_quote;
    bool m_stop[256] = {};
    std::string m_bytes; // the fields' unquoted bytes back to back
    std::vector<Field> m_fields;
    int m_lineBreaks = 0;
    qsizetype m_openQuote = 0;
};
