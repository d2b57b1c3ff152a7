#include "ShownValue.h"

namespace {

QString escaped(char16_t c)
{
    switch (c) {
    case u'\0':
        return QStringLiteral("\\0");
    case u'\t':
        return QStringLiteral("\\t");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    default:
        return (c < 0x100 ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
               QString::number(c, 16).toUpper().rightJustified(c < 0x100 ? 2 : 4, QLatin1Char('0'));
    }
}

} // namespace

QString shownValue(QStringView text)
{
    QString shown;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (characters == kShownLength)
            return shown + QStringLiteral("…");
        const QChar ch = text[i];
        ++characters;
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += ch;
            shown += text[++i];
        } else if (ch.isSurrogate() || ch.category() == QChar::Other_Control ||
                   ch.category() == QChar::Other_Format) {
            shown += escaped(ch.unicode());
        } else {
            shown += ch;
        }
    }
    return shown;
}
