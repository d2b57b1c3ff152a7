#pragma once

#include "core/storage/FieldValue.h"
#include "core/storage/TableColumn.h"

#include <QtGlobal>

#include <string>
#include <string_view>

// Rows for COPY ... FROM STDIN (FORMAT binary): the values go as they are
// kept, so the server has no numbers to parse. Taken out in pieces, the
// rows make one stream: the header comes first, the trailer after end().
class PgBinaryRows
{
public:
    PgBinaryRows();

    void beginRow(int fields);
    void append(const FieldValue& value, TableColumn::Kind kind);
    void appendBigint(qint64 value);
    void appendText(std::string_view utf8);
    void appendNull();
    void end();

    size_t size() const { return m_bytes.size(); }
    // What was gathered since the last take.
    std::string take();

private:
    template <typename Number> void appendNumber(Number value);

    std::string m_bytes;
};
