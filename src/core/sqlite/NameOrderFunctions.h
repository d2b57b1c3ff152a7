#pragma once

#include "core/storage/NameTextIds.h"

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

// The SQL functions the order of parts is worked out with, registered on
// the connection while the index is built. Lists repeat names a lot: the
// names last met are kept with their keys, so that most are folded once.
// They are tardesk_name_order(PARTNAME, PARTNUMBER, GROUPCODE) and
// tardesk_odd_name(PARTNAME), which NameSortedOrder's query calls.
class NameOrderFunctions
{
public:
    explicit NameOrderFunctions(sqlite3* db);
    ~NameOrderFunctions() { remove(); }
    NameOrderFunctions(const NameOrderFunctions&) = delete;
    NameOrderFunctions& operator=(const NameOrderFunctions&) = delete;

    // The key of an ordered text, up to its ending zero.
    static std::string unescapedKey(std::string_view ordered);

private:
    static constexpr size_t kKeptNames = 65536;

    void remove();

    // The key of name, escaped.
    const std::string& keyOf(std::string_view name);

    // The escaped key of the name, PARTNUMBER, a zero byte and GROUPCODE.
    static void ordered(sqlite3_context* context, int, sqlite3_value** values);
    // The name where its words may differ from its key's, else NULL.
    static void oddName(sqlite3_context* context, int, sqlite3_value** values);

    sqlite3* m_db;
    NameTextIds m_names{kKeptNames};
    std::vector<std::string> m_keys; // by id in m_names
    size_t m_repeats = 0;            // of names kept
    bool m_keeping = true;
    std::string m_key;
    std::string m_ordered;
};
