#include "NameWordParts.h"

#include "core/sqlite/RawSql.h"

#include <algorithm>

using NameIndexCoding::firstNumber;
using RawSql::insertRow;
using RawSql::prepare;
using RawSql::Prepared;
using RawSql::text;

namespace {

constexpr char kDropWordRuns[] = "DROP TABLE IF EXISTS temp.NAME_WORD_RUNS";
constexpr char kCreateWordRuns[] =
    "CREATE TEMP TABLE NAME_WORD_RUNS (WORD TEXT NOT NULL, RUN INTEGER NOT NULL, "
    "LAST INTEGER NOT NULL, PARTS BLOB NOT NULL, PRIMARY KEY (WORD, RUN)) "
    "WITHOUT ROWID";
constexpr char kInsertWordRun[] =
    "INSERT INTO temp.NAME_WORD_RUNS (WORD, RUN, LAST, PARTS) VALUES (?, ?, ?, ?)";
constexpr char kSelectWordRuns[] = "SELECT WORD, LAST, PARTS FROM temp.NAME_WORD_RUNS ORDER BY WORD, RUN";

} // namespace

NameWordParts::~NameWordParts()
{
    if (m_runs > 0)
        sqlite3_exec(m_database.getHandle(), kDropWordRuns, nullptr, nullptr, nullptr);
}

void NameWordParts::spill()
{
    if (m_runs == 0) {
        m_database.exec(kDropWordRuns);
        m_database.exec(kCreateWordRuns);
    }
    const Prepared insert = prepare(m_database.getHandle(), kInsertWordRun);
    for (const quint32 word : inOrder()) {
        const std::string_view text = m_words.texts()[word];
        sqlite3_bind_text(insert.get(), 1, text.data(), int(text.size()), SQLITE_STATIC);
        sqlite3_bind_int64(insert.get(), 2, m_runs);
        sqlite3_bind_int64(insert.get(), 3, m_parts[word].last);
        sqlite3_bind_blob(insert.get(), 4, m_parts[word].encoded.data(), int(m_parts[word].encoded.size()),
                          SQLITE_STATIC);
        insertRow(m_database.getHandle(), insert.get());
    }
    ++m_runs;
    m_words = NameTextIds(0);
    m_parts = {};
    m_bytes = 0;
}

void NameWordParts::write(sqlite3_stmt* insert)
{
    sqlite3* db = m_database.getHandle();
    const auto add = [&](std::string_view word, std::string_view encoded) {
        sqlite3_bind_text(insert, 1, word.data(), int(word.size()), SQLITE_STATIC);
        sqlite3_bind_blob(insert, 2, encoded.data(), int(encoded.size()), SQLITE_STATIC);
        insertRow(db, insert);
    };
    if (m_runs == 0) {
        for (const quint32 word : inOrder())
            add(m_words.texts()[word], m_parts[word].encoded);
        return;
    }
    if (!m_parts.empty())
        spill();
    const Prepared runs = prepare(db, kSelectWordRuns);
    std::string word;
    std::string encoded;
    qint64 last = -1;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(runs.get())) == SQLITE_ROW) {
        const std::string_view runWord = text(runs.get(), 0);
        if (runWord != word && !encoded.empty()) {
            add(word, encoded);
            encoded.clear();
            last = -1;
        }
        word.assign(runWord);
        // A run counts its word's first part from -1; here it follows the run before.
        const auto* data = static_cast<const char*>(sqlite3_column_blob(runs.get(), 2));
        const std::string_view run(data ? data : "", size_t(sqlite3_column_bytes(runs.get(), 2)));
        size_t used = 0;
        const qint64 first = qint64(firstNumber(run, used)) - 1;
        Varint::append(encoded, quint64(first - last));
        encoded += run.substr(used);
        last = sqlite3_column_int64(runs.get(), 1);
    }
    if (result != SQLITE_DONE)
        throw SQLite::Exception(db, result);
    if (!encoded.empty())
        add(word, encoded);
}

std::vector<quint32> NameWordParts::inOrder() const
{
    std::vector<quint32> order(m_parts.size());
    for (size_t id = 0; id < order.size(); ++id)
        order[id] = quint32(id);
    const std::vector<std::string_view>& texts = m_words.texts();
    std::sort(order.begin(), order.end(), [&texts](quint32 a, quint32 b) { return texts[a] < texts[b]; });
    return order;
}
