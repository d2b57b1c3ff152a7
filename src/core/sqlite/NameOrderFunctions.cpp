#include "NameOrderFunctions.h"

#include "core/text/NameWords.h"

#include <SQLiteCpp/Exception.h>

#include <QString>

namespace {

constexpr char kOrderFunction[] = "tardesk_name_order";
constexpr char kOddNameFunction[] = "tardesk_odd_name";

std::string_view valueText(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(text ? text : "", size_t(sqlite3_value_bytes(value)));
}

// Whether the words of name are those of its folded key: so for names
// written in Latin-1 and the Russian letters, whose case folding gives
// letters that composition leaves alone and folding again keeps.
bool wordsFollowKey(std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        const auto lead = uchar(name[i]);
        if (lead < 0x80)
            continue;
        const auto next = i + 1 < name.size() ? uchar(name[i + 1]) : uchar(0);
        if (next < 0x80 || next > 0xBF)
            return false;
        // U+0080 to U+00FF, U+0400 to U+045F
        if (lead != 0xC2 && lead != 0xC3 && lead != 0xD0 && !(lead == 0xD1 && next <= 0x9F))
            return false;
        ++i;
    }
    return true;
}

// key with its bytes 0 and 1 written as 1 1 and 1 2, and ended by a 0: the
// order of keys is kept, and none is a prefix of another.
void appendEscaped(std::string& target, std::string_view key)
{
    for (const char c : key) {
        if (uchar(c) < 2) {
            target += '\1';
            target += char(c + 1);
        } else {
            target += c;
        }
    }
    target += '\0';
}

} // namespace

NameOrderFunctions::NameOrderFunctions(sqlite3* db) : m_db(db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    int result =
        sqlite3_create_function_v2(db, kOrderFunction, 3, flags, this, &ordered, nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        result = sqlite3_create_function_v2(db, kOddNameFunction, 1, flags, nullptr, &oddName, nullptr,
                                            nullptr, nullptr);
    if (result != SQLITE_OK) {
        SQLite::Exception error(db, result);
        remove();
        throw error;
    }
}

std::string NameOrderFunctions::unescapedKey(std::string_view ordered)
{
    std::string key;
    for (size_t i = 0; i < ordered.size() && ordered[i] != '\0'; ++i)
        key += ordered[i] == '\1' && i + 1 < ordered.size() ? char(ordered[++i] - 1) : ordered[i];
    return key;
}

void NameOrderFunctions::remove()
{
    sqlite3_create_function_v2(m_db, kOrderFunction, 3, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(m_db, kOddNameFunction, 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                               nullptr);
}

const std::string& NameOrderFunctions::keyOf(std::string_view name)
{
    const auto escapedKey = [name](std::string& target) {
        appendEscaped(
            target,
            NameWords::orderKey(QString::fromUtf8(name.data(), qsizetype(name.size()))).toStdString());
    };
    if (!m_keeping) {
        m_key.clear();
        escapedKey(m_key);
        return m_key;
    }
    if (m_keys.size() >= kKeptNames) {
        // Names that hardly repeat are not worth keeping.
        m_keeping = m_repeats >= m_keys.size();
        m_names = NameTextIds(m_keeping ? kKeptNames : 0);
        m_keys = {};
        m_repeats = 0;
        return keyOf(name);
    }
    const quint32 id = m_names.idOf(name);
    if (id == m_keys.size())
        escapedKey(m_keys.emplace_back());
    else
        ++m_repeats;
    return m_keys[id];
}

void NameOrderFunctions::ordered(sqlite3_context* context, int, sqlite3_value** values)
{
    try {
        auto* self = static_cast<NameOrderFunctions*>(sqlite3_user_data(context));
        std::string& joined = self->m_ordered;
        joined.assign(self->keyOf(valueText(values[0])));
        joined += valueText(values[1]);
        joined += '\0';
        joined += valueText(values[2]);
        sqlite3_result_text64(context, joined.data(), joined.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (...) {
        sqlite3_result_error_nomem(context);
    }
}

void NameOrderFunctions::oddName(sqlite3_context* context, int, sqlite3_value** values)
{
    const std::string_view name = valueText(values[0]);
    if (!wordsFollowKey(name))
        sqlite3_result_text64(context, name.data(), name.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
