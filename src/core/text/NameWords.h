#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The words of a part's name as the name search sees them: runs of letters
// and digits, case folded the way group codes are, with "ё" read as "е".
class NameWords
{
public:
    // The words of name, folded, in the order written, joined by single
    // spaces: what an index of names keeps for each part.
    static QString indexed(QStringView name);
    // The folded words of what the clerk typed, each to be the start of some
    // word of a name; empty while no word has two characters.
    static QStringList query(QStringView typed);
    // What names sort by: the name case folded as written, "ё" kept.
    static QString orderKey(QStringView name);
};
