#pragma once

#include <QString>
#include <QStringView>

// A value from a file as a message shows it: control and invisible format
// characters escaped ("\0", "\t", "\x1B", "\u202E"), so a message is never
// cut or garbled by what it quotes, and anything longer than kShownLength
// characters cut to its first kShownLength and "…".
inline constexpr qsizetype kShownLength = 60;
QString shownValue(QStringView text);
