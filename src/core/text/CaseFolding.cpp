#include "CaseFolding.h"

QChar CaseFolding::upper(QChar ch)
{
    const char16_t c = ch.unicode();
    if ((c >= u'a' && c <= u'z') || (c >= u'\u0430' && c <= u'\u044F'))
        return QChar(char16_t(c - 0x20));
    if (c == u'\u0454' || c == u'\u0456' || c == u'\u0457')
        return QChar(char16_t(c - 0x50));
    return ch;
}

QChar CaseFolding::lower(QChar ch)
{
    const char16_t c = ch.unicode();
    if ((c >= u'A' && c <= u'Z') || (c >= u'\u0410' && c <= u'\u042F'))
        return QChar(char16_t(c + 0x20));
    if (c == u'\u0404' || c == u'\u0406' || c == u'\u0407')
        return QChar(char16_t(c + 0x50));
    return ch;
}

QString CaseFolding::upper(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar ch : text)
        result += upper(ch);
    return result;
}

bool CaseFolding::equal(QStringView a, QStringView b)
{
    return a.size() == b.size() && startsWith(a, b);
}

bool CaseFolding::startsWith(QStringView text, QStringView prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (upper(text[i]) != upper(prefix[i]))
            return false;
    return true;
}
