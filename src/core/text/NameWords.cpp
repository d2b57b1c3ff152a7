#include "NameWords.h"

#include "core/text/UnicodeCaseFolding.h"

#include <algorithm>

namespace {

// Folded words of text. Composed first, so that a letter typed as a base
// and a combining mark ("й" from "и" and a breve) stays one letter.
QStringList foldedWords(QStringView text)
{
    const QString folded = UnicodeCaseFolding::fold(text.toString().normalized(QString::NormalizationForm_C));
    QStringList words;
    QString word;
    for (const char32_t c : folded.toUcs4()) {
        if (QChar::isLetterOrNumber(c)) {
            word += c == U'ё' ? QChar(u'е') : QString::fromUcs4(&c, 1);
        } else if (!word.isEmpty()) {
            words.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

} // namespace

QString NameWords::indexed(QStringView name)
{
    return foldedWords(name).join(u' ');
}

QStringList NameWords::query(QStringView typed)
{
    const QStringList words = foldedWords(typed);
    const bool anyLongEnough = std::any_of(words.begin(), words.end(),
                                           [](const QString& word) { return word.toUcs4().size() >= 2; });
    return anyLongEnough ? words : QStringList();
}

QString NameWords::orderKey(QStringView name)
{
    return UnicodeCaseFolding::fold(name);
}
