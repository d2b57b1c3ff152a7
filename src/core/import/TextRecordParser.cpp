#include "TextRecordParser.h"

#include <cstring>

TextRecordParser::TextRecordParser(char delimiter, char quote) : m_delimiter(delimiter), m_quote(quote)
{
    m_stop[static_cast<unsigned char>('\r')] = true;
    m_stop[static_cast<unsigned char>('\n')] = true;
    if (delimiter)
        m_stop[static_cast<unsigned char>(delimiter)] = true;
}

int TextRecordParser::countLineBreaks(const char* begin, const char* end)
{
    int breaks = 0;
    for (const char* p = begin; p < end; ++p)
        if (*p == '\n' || (*p == '\r' && (p + 1 == end || p[1] != '\n')))
            ++breaks;
    return breaks;
}

TextRecordParser::Status TextRecordParser::parse(const char* begin, const char* end, bool atEnd,
                                                 const char** next)
{
    m_bytes.clear();
    m_fields.clear();
    m_lineBreaks = 0;
    const bool lineMode = m_delimiter == 0;
    const char* p = begin;
    for (;;) {
        const qsizetype start = qsizetype(m_bytes.size());
        if (!lineMode)
            while (p < end && isBlank(*p))
                ++p;
        if (m_quote && !lineMode && p < end && *p == m_quote) {
            const int breaksBefore = m_lineBreaks;
            m_openQuote = p - begin;
            ++p;
            for (;;) {
                const auto* close = static_cast<const char*>(std::memchr(p, m_quote, size_t(end - p)));
                if (!close || (close + 1 == end && !atEnd)) {
                    if (atEnd) {
                        m_lineBreaks = breaksBefore;
                        return Status::Unterminated;
                    }
                    return Status::NeedMoreQuoted;
                }
                m_lineBreaks += countLineBreaks(p, close);
                m_bytes.append(p, size_t(close - p));
                p = close + 1;
                if (p < end && *p == m_quote) {
                    m_bytes += m_quote;
                    ++p;
                    continue;
                }
                break;
            }
        }
        // An unquoted field, or what follows a closing quote up to the delimiter.
        const char* stop = p;
        while (stop < end && !isStop(*stop))
            ++stop;
        if (stop == end && !atEnd)
            return Status::NeedMore;
        const char* last = stop;
        if (!lineMode)
            while (last > p && isBlank(last[-1]))
                --last;
        m_bytes.append(p, size_t(last - p));
        m_fields.push_back({start, qsizetype(m_bytes.size()) - start});
        if (m_fields.size() > kMaxFields)
            return Status::TooManyFields;
        if (stop == end) {
            *next = end;
            return Status::Complete;
        }
        if (*stop == m_delimiter) {
            p = stop + 1;
            continue;
        }
        if (*stop == '\r') {
            if (stop + 1 == end && !atEnd)
                return Status::NeedMore;
            if (stop + 1 < end && stop[1] == '\n')
                ++stop;
        }
        ++m_lineBreaks;
        *next = stop + 1;
        return Status::Complete;
    }
}
