#include "NormalizePartNumber.h"

bool isPartNumberCharacter(QChar ch)
{
    const char16_t c = ch.unicode();
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
           (c >= u'\u0410' && c <= u'\u044F') || c == u'\u0404' || c == u'\u0454' || c == u'\u0406' ||
           c == u'\u0456' || c == u'\u0407' || c == u'\u0457';
}

QString NormalizePartNumber(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar ch : text)
        if (isPartNumberCharacter(ch))
            result += ch;
    return result;
}
