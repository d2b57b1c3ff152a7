#include "KeySpellings.h"

#include "core/text/CaseFolding.h"
#include "core/text/UnicodeCaseFolding.h"

#include <SQLiteCpp/Statement.h>

#include <QStringList>

namespace {

// The spellings of one character, a surrogate pair or a single unit.
QStringList variants(QStringView character, KeySpellings::Case rule)
{
    if (rule == KeySpellings::Case::GroupCode) {
        const char32_t ch = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                  : character[0].unicode();
        const std::vector<char32_t> letters = UnicodeCaseFolding::variants(ch);
        if (letters.size() > 1) {
            QStringList texts;
            for (const char32_t letter : letters)
                texts << QString::fromUcs4(&letter, 1);
            return texts;
        }
    } else if (character.size() == 1) {
        const QChar upper = CaseFolding::upper(character[0]), lower = CaseFolding::lower(character[0]);
        if (upper != lower)
            return {upper, lower};
    }
    return {character.toString()};
}

} // namespace

std::string KeySpellings::rangeEnd(const std::string& prefix)
{
    // The last byte of a UTF-8 character is at most 0xBF, so it never overflows.
    std::string end = prefix;
    if (!end.empty())
        end.back() = char(static_cast<unsigned char>(end.back()) + 1);
    return end;
}

std::vector<std::string> KeySpellings::find(SQLite::Database& db, const char* table, const char* column,
                                            QStringView text, Case rule)
{
    const std::string name(column);
    SQLite::Statement probe(db, "SELECT 1 FROM " + std::string(table) + " WHERE " + name + " >= ? AND " +
                                    name + " < ? LIMIT 1");
    const auto occurs = [&probe](const std::string& prefix) {
        probe.reset();
        probe.bind(1, prefix);
        probe.bind(2, rangeEnd(prefix));
        return probe.executeStep();
    };

    // Spellings grow by whole characters, so a character outside the BMP
    // converts to UTF-8 whole.
    QStringList spellings{QString()};
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringList letters = variants(text.mid(i, length), rule);
        i += length;
        if (letters.size() == 1) {
            for (QString& spelling : spellings)
                spelling += letters.front();
            continue;
        }
        QStringList next;
        for (const QString& spelling : std::as_const(spellings))
            for (const QString& letter : letters) {
                const QString longer = spelling + letter;
                if (occurs(longer.toStdString()))
                    next << longer;
            }
        spellings.swap(next);
        if (spellings.isEmpty())
            break;
    }
    std::vector<std::string> result;
    result.reserve(size_t(spellings.size()));
    for (const QString& spelling : std::as_const(spellings))
        result.push_back(spelling.toStdString());
    return result;
}
