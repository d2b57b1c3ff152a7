#pragma once

#include "core/sqlite/NameWordParts.h"
#include "core/sqlite/RawSql.h"
#include "core/storage/PriceListRebuild.h"

#include <QtGlobal>

#include <SQLiteCpp/Database.h>

#include <string>
#include <string_view>
#include <vector>

// Writes the index from the parts given in the order of names.
class NameIndexWriter
{
public:
    // Parts to a row of PART_NAME_ORDER: rows of a few pages.
    static constexpr quint32 kOrderRowParts = 16384;

    NameIndexWriter(SQLite::Database& database, std::string_view prefix,
                    const PriceListRebuild::Listener& listener, qint64 count, size_t wordPartsBytes);

    // The name of the parts added next, when it differs from the one before.
    void setName(std::string_view name);
    void add(qint64 part);
    void finish();

private:
    void flush(quint32 first);

    SQLite::Database& m_database;
    RawSql::Prepared m_order;
    RawSql::Prepared m_insertWord;
    NameWordParts m_words;
    const PriceListRebuild::Listener& m_listener;
    qint64 m_count;
    std::string m_encoded; // the rowids of the row of PART_NAME_ORDER being filled
    std::vector<std::string> m_nameWords;
    std::vector<quint32> m_ids; // of m_nameWords in m_words, once looked up
    quint32 m_number = 0;
};
