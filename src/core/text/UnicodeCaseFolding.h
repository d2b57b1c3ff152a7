#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <vector>

// Letter case of group codes, which may hold any letter: simple Unicode case
// folding, as QString::toCaseFolded does, so "ЁЖ", "Ёж" and "ёж" or "Σ",
// "σ" and "ς" are one code.
class UnicodeCaseFolding
{
public:
    static QString fold(QStringView text);
    static bool equal(QStringView a, QStringView b) { return fold(a) == fold(b); }
    // Appends fold() of UTF-8 text to target as UTF-8, without the round
    // trip through QString that would cost most of the time for short texts.
    static void appendFolded(std::string& target, std::string_view utf8);

    // Every code point that folds like c, c among them, in ascending order:
    // the spellings a case-blind match must try for c.
    static std::vector<char32_t> variants(char32_t c);
};
