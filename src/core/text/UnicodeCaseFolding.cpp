#include "UnicodeCaseFolding.h"

#include "core/text/CodePage.h"

#include <QByteArray>
#include <QChar>

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace {

// The code points of every cased letter, by the letter they fold to; made
// once from the library's own tables, so it agrees with fold() exactly.
const std::unordered_map<char32_t, std::vector<char32_t>>& byFolded()
{
    static const auto table = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> groups;
        for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
            const char32_t folded = QChar::toCaseFolded(c);
            if (folded == c)
                continue;
            auto& group = groups[folded];
            if (group.empty())
                group.push_back(folded);
            group.push_back(c);
        }
        for (auto& [folded, group] : groups)
            std::sort(group.begin(), group.end());
        return groups;
    }();
    return table;
}

// The code point starting at text[i] of well-formed UTF-8, and its length.
std::pair<char32_t, size_t> decodeUtf8(std::string_view text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return {c, length};
}

void appendUtf8(std::string& target, char32_t c)
{
    if (c < 0x80) {
        target += char(c);
    } else if (c < 0x800) {
        target += char(0xC0 | (c >> 6));
        target += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        target += char(0xE0 | (c >> 12));
        target += char(0x80 | ((c >> 6) & 0x3F));
        target += char(0x80 | (c & 0x3F));
    } else {
        target += char(0xF0 | (c >> 18));
        target += char(0x80 | ((c >> 12) & 0x3F));
        target += char(0x80 | ((c >> 6) & 0x3F));
        target += char(0x80 | (c & 0x3F));
    }
}

} // namespace

QString UnicodeCaseFolding::fold(QStringView text)
{
    return text.toString().toCaseFolded();
}

std::vector<char32_t> UnicodeCaseFolding::variants(char32_t c)
{
    const auto found = byFolded().find(QChar::toCaseFolded(c));
    return found == byFolded().end() ? std::vector<char32_t>{c} : found->second;
}

void UnicodeCaseFolding::appendFolded(std::string& target, std::string_view utf8)
{
    const size_t start = target.size();
    // Part numbers and group codes are mostly ASCII: appended at once, and
    // A-Z folded where they stand.
    const auto ascii = std::find_if(utf8.begin(), utf8.end(), [](char c) { return c & 0x80; });
    target.append(utf8.begin(), ascii);
    for (auto c = target.begin() + qsizetype(start); c != target.end(); ++c)
        if (*c >= 'A' && *c <= 'Z')
            *c = char(*c - 'A' + 'a');
    const std::string_view rest = utf8.substr(size_t(ascii - utf8.begin()));
    if (!CodePage::isValidUtf8(QByteArrayView(rest.data(), qsizetype(rest.size())))) {
        // Malformed text folds as QString reads it.
        target.resize(start);
        const QByteArray folded = fold(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).toUtf8();
        target.append(folded.constData(), size_t(folded.size()));
        return;
    }
    for (size_t i = 0; i < rest.size();) {
        const auto [c, length] = decodeUtf8(rest, i);
        appendUtf8(target, QChar::toCaseFolded(c));
        i += length;
    }
}
