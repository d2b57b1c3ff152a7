#include "KeySpellings.h"

#include "core/text/CaseFolding.h"

#include <SQLiteCpp/Statement.h>

#include <QStringList>

std::string KeySpellings::rangeEnd(const std::string& prefix)
{
    // The last byte of a UTF-8 character is at most 0xBF, so it never overflows.
    std::string end = prefix;
    if (!end.empty())
        end.back() = char(static_cast<unsigned char>(end.back()) + 1);
    return end;
}

std::vector<std::string> KeySpellings::find(SQLite::Database& db, const char* table, const char* column,
                                            QStringView text)
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

    // Spellings grow as QStrings, so characters outside the BMP convert whole.
    QStringList spellings{QString()};
    for (QChar ch : text) {
        const QChar upper = CaseFolding::upper(ch), lower = CaseFolding::lower(ch);
        if (upper == lower) {
            for (QString& spelling : spellings)
                spelling += ch;
            continue;
        }
        QStringList next;
        for (const QString& spelling : std::as_const(spellings))
            for (QChar letter : {upper, lower}) {
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
