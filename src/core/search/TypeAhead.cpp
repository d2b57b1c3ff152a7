#include "TypeAhead.h"

void TypeAhead::restartAfterPause(qint64 nowMs)
{
    if (!m_typedBefore || nowMs - m_lastMs >= kPauseMs)
        m_prefix.clear();
    m_typedBefore = true;
    m_lastMs = nowMs;
}

int TypeAhead::typed(QChar ch, qint64 nowMs, const QStringList& lines)
{
    restartAfterPause(nowMs);
    m_prefix += ch;
    return lineFor(lines);
}

int TypeAhead::backspace(qint64 nowMs, const QStringList& lines)
{
    restartAfterPause(nowMs);
    m_prefix.chop(1);
    if (m_prefix.isEmpty())
        return lines.isEmpty() ? -1 : 0;
    return lineFor(lines);
}

int TypeAhead::lineFor(const QStringList& lines) const
{
    for (int line = 0; line < lines.size(); ++line)
        if (lines[line].startsWith(m_prefix, Qt::CaseInsensitive))
            return line;
    return -1;
}
