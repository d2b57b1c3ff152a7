#include "FieldConverter.h"

#include "core/text/ShownValue.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// UTF-8 of every byte of a single-byte code page: length, then up to 3 bytes.
using Utf8Table = std::array<std::array<char, 4>, 256>;

Utf8Table makeUtf8Table(CodePage::Id codePage)
{
    Utf8Table table{};
    const char16_t* upper = CodePage::upperHalf(codePage);
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unicode = byte < 0x80 ? char16_t(byte) : upper[byte - 0x80];
        auto& entry = table[size_t(byte)];
        if (unicode < 0x80) {
            entry = {1, char(unicode)};
        } else if (unicode < 0x800) {
            entry = {2, char(0xC0 | (unicode >> 6)), char(0x80 | (unicode & 0x3F))};
        } else {
            entry = {3, char(0xE0 | (unicode >> 12)), char(0x80 | ((unicode >> 6) & 0x3F)),
                     char(0x80 | (unicode & 0x3F))};
        }
    }
    return table;
}

const Utf8Table& utf8Table(CodePage::Id codePage)
{
    static const Utf8Table windows1251 = makeUtf8Table(CodePage::Windows1251);
    static const Utf8Table dos866 = makeUtf8Table(CodePage::Dos866);
    return codePage == CodePage::Dos866 ? dos866 : windows1251;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && isBlank(bytes.front()))
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && isBlank(bytes.back()))
        bytes.chop(1);
    return bytes;
}

} // namespace

FieldConverter::FieldConverter(CodePage::Id codePage, char decimalSymbol, char delimiter)
    : m_codePage(codePage), m_decimalSymbol(decimalSymbol), m_delimiter(delimiter)
{}

bool FieldConverter::isDecimal(char c) const
{
    if (m_decimalSymbol)
        return c == m_decimalSymbol;
    return c == '.' || (c == ',' && m_delimiter != ',');
}

// [+-] digits [decimal digits] [e [+-] digits], with at least one digit before the exponent.
bool FieldConverter::parseNumber(QByteArrayView bytes, double* number) const
{
    // Up to 15 digits are exact in a double, and so is 10^15: one division
    // of the two rounds correctly, as from_chars would.
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    char text[64];
    if (bytes.size() >= qsizetype(sizeof text))
        return false;
    qsizetype i = 0, out = 0;
    const qsizetype size = bytes.size();
    bool negative = false;
    if (i < size && (bytes[i] == '+' || bytes[i] == '-')) {
        negative = bytes[i] == '-';
        if (negative)
            text[out++] = '-';
        ++i;
    }
    int digits = 0;
    int decimals = 0;
    quint64 mantissa = 0;
    for (; i < size && isDigit(bytes[i]); ++i, ++digits) {
        text[out++] = bytes[i];
        mantissa = mantissa * 10 + quint64(bytes[i] - '0');
    }
    if (i < size && isDecimal(bytes[i])) {
        text[out++] = '.';
        for (++i; i < size && isDigit(bytes[i]); ++i, ++digits, ++decimals) {
            text[out++] = bytes[i];
            mantissa = mantissa * 10 + quint64(bytes[i] - '0');
        }
    }
    if (digits == 0)
        return false;
    if (i == size && digits <= 15) {
        const double value = double(mantissa) / kPowersOfTen[decimals];
        *number = negative ? -value : value;
        return true;
    }
    if (i < size && (bytes[i] == 'e' || bytes[i] == 'E')) {
        text[out++] = 'e';
        ++i;
        if (i < size && (bytes[i] == '+' || bytes[i] == '-'))
            text[out++] = bytes[i++];
        int exponentDigits = 0;
        for (; i < size && isDigit(bytes[i]); ++i, ++exponentDigits)
            text[out++] = bytes[i];
        if (exponentDigits == 0)
            return false;
    }
    if (i != size)
        return false;
    const auto result = std::from_chars(text, text + out, *number);
    return result.ec == std::errc() && result.ptr == text + out;
}

qsizetype FieldConverter::charactersPrefix(QByteArrayView bytes, qsizetype characters) const
{
    if (m_codePage != CodePage::Utf8 || bytes.size() <= characters)
        return std::min(bytes.size(), characters);
    qsizetype seen = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80 && seen++ == characters)
            return i;
    }
    return bytes.size();
}

bool FieldConverter::convertText(QByteArrayView bytes, int length, std::string& text) const
{
    const qsizetype kept = charactersPrefix(bytes, length);
    if (m_codePage == CodePage::Utf8) {
        text.assign(bytes.data(), size_t(kept));
    } else {
        const Utf8Table& table = utf8Table(m_codePage);
        text.clear();
        for (qsizetype i = 0; i < kept; ++i) {
            const auto& entry = table[static_cast<unsigned char>(bytes[i])];
            text.append(&entry[1], size_t(entry[0]));
        }
    }
    return kept == bytes.size();
}

bool FieldConverter::convert(QByteArrayView bytes, const TableColumn& column, Value& value) const
{
    if (column.kind == TableColumn::Text) {
        if (bytes.isEmpty()) {
            value = std::monostate();
            return true;
        }
        if (!std::holds_alternative<std::string>(value))
            value.emplace<std::string>();
        return convertText(bytes, column.length, std::get<std::string>(value));
    }

    bytes = trimmed(bytes);
    double number = 0;
    if (bytes.isEmpty() || !parseNumber(bytes, &number)) {
        value = std::monostate();
        return bytes.isEmpty();
    }
    switch (column.kind) {
    case TableColumn::Single: {
        // Too small a number would become 0 unnoticed.
        const float single = float(number);
        if (std::isinf(single) || (single == 0 && number != 0)) {
            value = std::monostate();
            return false;
        }
        value = double(single);
        return true;
    }
    case TableColumn::Short:
    case TableColumn::Integer: {
        const double low = column.kind == TableColumn::Short ? std::numeric_limits<qint16>::min()
                                                             : std::numeric_limits<qint32>::min();
        const double high = column.kind == TableColumn::Short ? std::numeric_limits<qint16>::max()
                                                              : std::numeric_limits<qint32>::max();
        if (number != std::trunc(number) || number < low || number > high) {
            value = std::monostate();
            return false;
        }
        value = qint64(number);
        return true;
    }
    case TableColumn::Double:
    case TableColumn::Text:
        break;
    }
    value = number;
    return true;
}

QString FieldConverter::decode(QByteArrayView bytes) const
{
    return CodePage::decode(m_codePage, bytes);
}

QString FieldConverter::shown(QByteArrayView bytes) const
{
    // Enough bytes for one character more than is shown, even at four bytes each.
    constexpr qsizetype kBytes = 4 * (kShownLength + 1);
    return shownValue(decode(bytes.first(std::min(bytes.size(), kBytes))));
}
