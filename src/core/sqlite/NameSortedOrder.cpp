#include "NameSortedOrder.h"

#include "core/sqlite/NameIndexWriter.h"
#include "core/sqlite/NameOrderFunctions.h"
#include "core/sqlite/RawSql.h"
#include "core/sqlite/Schema.h"

#include <SQLiteCpp/Database.h>

#include <string>

using RawSql::prepare;
using RawSql::Prepared;
using RawSql::text;

namespace {

// The parts as the index orders them: by their names folded, then by
// PARTNUMBER and GROUPCODE in UTF-8 (whose byte order is code-point order)
// each ended by a zero byte, so that a shorter one sorts first, then by the
// file's order; all but the last in one text, whose first field SQLite's
// sorter compares with one memcmp. It sorts runs as large as the cache,
// writes them to a temporary file and merges them: a small cache takes
// little memory, and helper threads sort the runs while the table is read.
// A name goes along only where its words may differ from its key's.
constexpr char kSelectInNameOrder[] =
    "SELECT rowid, tardesk_name_order(PARTNAME, PARTNUMBER, GROUPCODE) AS NAME_ORDER, "
    "tardesk_odd_name(PARTNAME) FROM PRICE ORDER BY NAME_ORDER, rowid";

} // namespace

void NameSortedOrder::write(SQLite::Database& database, std::string_view prefix, NameIndexWriter& writer)
{
    sqlite3* db = database.getHandle();
    NameOrderFunctions functions(db);
    const Prepared parts =
        prepare(db, Schema::prefixed(kSelectInNameOrder, Tables::kPriceTable, prefix).c_str());
    std::string source;
    bool sourceOdd = false;
    bool first = true;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(parts.get())) == SQLITE_ROW) {
        const std::string_view ordered = text(parts.get(), 1);
        const bool odd = sqlite3_column_type(parts.get(), 2) != SQLITE_NULL;
        const std::string_view from = odd ? text(parts.get(), 2) : ordered.substr(0, ordered.find('\0'));
        if (first || odd != sourceOdd || from != source) {
            source.assign(from);
            sourceOdd = odd;
            first = false;
            writer.setName(odd ? source : NameOrderFunctions::unescapedKey(source));
        }
        writer.add(sqlite3_column_int64(parts.get(), 0));
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
}
