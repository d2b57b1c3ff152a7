#include "UnicodeCaseFolding.h"

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

// The code point starting at text[i] and its length in bytes; a length of 0
// when the bytes there are not well-formed UTF-8.
std::pair<char32_t, size_t> decodeUtf8(std::string_view text, size_t i)
{
    const auto byte = [&text](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const size_t length = lead < 0x80   ? 1
                          : lead < 0xC2 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF5 ? 4
                                        : 0;
    if (length == 0 || i + length > text.size())
        return {0, 0};
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode.
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return {0, 0};
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
    for (size_t i = size_t(ascii - utf8.begin()); i < utf8.size();) {
        const auto [c, length] = decodeUtf8(utf8, i);
        if (length == 0) {
            // Malformed text folds as QString reads it.
            target.resize(start);
            const QByteArray folded = fold(QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).toUtf8();
            target.append(folded.constData(), size_t(folded.size()));
            return;
        }
        appendUtf8(target, QChar::toCaseFolded(c));
        i += length;
    }
}
