#include "PgBinaryRows.h"

#include <QtEndian>

#include <cstring>
#include <utility>

namespace {

constexpr char kSignature[] = "PGCOPY\n\377\r\n";

} // namespace

PgBinaryRows::PgBinaryRows()
{
    m_bytes.append(kSignature, sizeof kSignature); // with its closing zero byte
    appendNumber(qint32(0));                       // flags
    appendNumber(qint32(0));                       // header extension length
}

template <typename Number> void PgBinaryRows::appendNumber(Number value)
{
    const Number big = qToBigEndian(value);
    m_bytes.append(reinterpret_cast<const char*>(&big), sizeof big);
}

void PgBinaryRows::beginRow(int fields)
{
    appendNumber(qint16(fields));
}

void PgBinaryRows::append(const FieldValue& value, TableColumn::Kind kind)
{
    if (std::holds_alternative<std::monostate>(value)) {
        appendNull();
        return;
    }
    const auto number = [&value] {
        const auto* whole = std::get_if<qint64>(&value);
        return whole ? double(*whole) : std::get<double>(value);
    };
    const auto whole = [&value] {
        const auto* real = std::get_if<double>(&value);
        return real ? qint64(*real) : std::get<qint64>(value);
    };
    switch (kind) {
    case TableColumn::Text:
        appendText(std::get<std::string>(value));
        return;
    case TableColumn::Single: {
        const float single = float(number());
        quint32 bits;
        std::memcpy(&bits, &single, sizeof bits);
        appendNumber(qint32(sizeof bits));
        appendNumber(bits);
        return;
    }
    case TableColumn::Double: {
        const double real = number();
        quint64 bits;
        std::memcpy(&bits, &real, sizeof bits);
        appendNumber(qint32(sizeof bits));
        appendNumber(bits);
        return;
    }
    case TableColumn::Short:
        appendNumber(qint32(sizeof(qint16)));
        appendNumber(qint16(whole()));
        return;
    case TableColumn::Integer:
        appendNumber(qint32(sizeof(qint32)));
        appendNumber(qint32(whole()));
        return;
    }
}

void PgBinaryRows::appendBigint(qint64 value)
{
    appendNumber(qint32(sizeof value));
    appendNumber(value);
}

void PgBinaryRows::appendText(std::string_view utf8)
{
    appendNumber(qint32(utf8.size()));
    m_bytes.append(utf8);
}

void PgBinaryRows::appendNull()
{
    appendNumber(qint32(-1));
}

void PgBinaryRows::end()
{
    appendNumber(qint16(-1));
}

std::string PgBinaryRows::take()
{
    // The next piece gets room as large at once, rather than grow into it
    // by copies.
    std::string taken;
    taken.reserve(m_bytes.capacity());
    taken.swap(m_bytes);
    return taken;
}
