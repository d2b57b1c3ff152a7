#pragma once

#include "core/sqlite/NameIndexCoding.h"
#include "core/storage/NameTextIds.h"
#include "core/storage/Varint.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

// The parts of each word as PART_NAME_WORDS keeps them, gathered while the
// parts come by their numbers, ascending. When they outgrow their bound (a
// list whose names nearly all differ can have a different word for every
// part) those gathered so far go out to a temporary table as a run, and the
// runs of each word are joined when the index is written.
class NameWordParts
{
public:
    NameWordParts(SQLite::Database& database, size_t bound) : m_database(database), m_bound(bound) {}
    ~NameWordParts();
    NameWordParts(const NameWordParts&) = delete;
    NameWordParts& operator=(const NameWordParts&) = delete;

    // Valid until spill().
    quint32 idOf(std::string_view word)
    {
        const quint32 id = m_words.idOf(word);
        if (id == m_parts.size()) {
            m_parts.emplace_back();
            m_bytes += kBytesPerWord + word.size();
        }
        return id;
    }
    // Inline: called for every word of every part.
    void add(quint32 word, quint32 number)
    {
        Parts& parts = m_parts[word];
        const size_t before = parts.encoded.capacity();
        Varint::append(parts.encoded, quint64(qint64(number) - parts.last));
        parts.last = number;
        m_bytes += parts.encoded.capacity() - before;
    }
    bool full() const { return m_bytes > m_bound; }
    void spill();
    // Adds every word with its parts through insert, in the order of words.
    void write(sqlite3_stmt* insert);

private:
    // What a word costs besides its text and parts: its entries in m_words and m_parts.
    static constexpr size_t kBytesPerWord = 112;

    struct Parts
    {
        std::string encoded;
        qint64 last = -1;
    };

    // The ids of the words by their texts: each row goes at the end of its B-tree.
    std::vector<quint32> inOrder() const;

    SQLite::Database& m_database;
    size_t m_bound;
    NameTextIds m_words{0};
    std::vector<Parts> m_parts; // by id in m_words
    size_t m_bytes = 0;
    qint64 m_runs = 0;
};
