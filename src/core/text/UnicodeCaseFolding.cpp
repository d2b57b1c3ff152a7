#include "UnicodeCaseFolding.h"

#include <QChar>

#include <algorithm>
#include <unordered_map>

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
