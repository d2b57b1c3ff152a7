#include "NameIndexWriter.h"

#include "core/sqlite/NameIndexCoding.h"
#include "core/sqlite/Schema.h"
#include "core/storage/Varint.h"
#include "core/text/NameWords.h"

#include <QString>

#include <algorithm>

using RawSql::insertRow;
using RawSql::prepare;

namespace {

// The different words of name, each once.
std::vector<std::string> wordsOf(std::string_view name)
{
    std::vector<std::string> words;
    const QString written = QString::fromUtf8(name.data(), qsizetype(name.size()));
    for (const QString& word : NameWords::indexed(written).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        std::string spelled = word.toStdString();
        if (std::find(words.begin(), words.end(), spelled) == words.end())
            words.push_back(std::move(spelled));
    }
    return words;
}

} // namespace

NameIndexWriter::NameIndexWriter(SQLite::Database& database, std::string_view prefix,
                                 const PriceListRebuild::Listener& listener, qint64 count,
                                 size_t wordPartsBytes)
    : m_database(database),
      m_order(prepare(database.getHandle(),
                      Schema::prefixed(Schema::kInsertNameOrder, Schema::kNameOrderTable, prefix).c_str())),
      m_insertWord(
          prepare(database.getHandle(),
                  Schema::prefixed(Schema::kInsertNameWord, Schema::kNameWordsTable, prefix).c_str())),
      m_words(database, wordPartsBytes), m_listener(listener), m_count(count)
{}

void NameIndexWriter::setName(std::string_view name)
{
    m_nameWords = wordsOf(name);
    m_ids.clear();
}

void NameIndexWriter::add(qint64 part)
{
    Varint::append(m_encoded, quint64(part));
    if (m_ids.size() != m_nameWords.size()) {
        for (const std::string& word : m_nameWords)
            m_ids.push_back(m_words.idOf(word));
    }
    for (const quint32 id : m_ids)
        m_words.add(id, m_number);
    if (m_words.full()) {
        m_words.spill();
        m_ids.clear();
    }
    if (++m_number % kOrderRowParts == 0) {
        flush(m_number - kOrderRowParts);
        if (m_listener.progress)
            m_listener.progress(m_number, m_count);
    }
}

void NameIndexWriter::finish()
{
    if (!m_encoded.empty())
        flush(m_number - m_number % kOrderRowParts);
    m_words.write(m_insertWord.get());
}

void NameIndexWriter::flush(quint32 first)
{
    sqlite3_bind_int64(m_order.get(), 1, first);
    sqlite3_bind_blob(m_order.get(), 2, m_encoded.data(), int(m_encoded.size()), SQLITE_STATIC);
    insertRow(m_database.getHandle(), m_order.get());
    m_encoded.clear();
}
