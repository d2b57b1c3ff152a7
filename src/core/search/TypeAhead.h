#pragma once

#include <QString>
#include <QStringList>

// Selecting a line of a list by typing: characters typed less than half a
// second apart form a prefix, matched ignoring case from the first line.
class TypeAhead
{
public:
    static constexpr qint64 kPauseMs = 500;

    // The line to select after a typed character, or -1 when none begins
    // with the prefix; nowMs is any monotonic clock in milliseconds.
    int typed(QChar ch, qint64 nowMs, const QStringList& lines);
    // The line to select after Backspace: the shortened prefix's line, or
    // line 0 once the prefix is empty; -1 for an empty list.
    int backspace(qint64 nowMs, const QStringList& lines);

    const QString& prefix() const { return m_prefix; }

private:
    void restartAfterPause(qint64 nowMs);
    int lineFor(const QStringList& lines) const;

    QString m_prefix;
    qint64 m_lastMs = 0;
    bool m_typedBefore = false;
};
