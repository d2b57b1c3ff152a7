#include "NameIndexCoding.h"

#include "core/errors/Error.h"

#include <QCoreApplication>

namespace NameIndexCoding {

void damaged()
{
    throw Error(
        QCoreApplication::translate("SqliteNameIndex", "Индекс названий повреждён: обновите прайс-лист"));
}

quint64 firstNumber(std::string_view encoded, size_t& used)
{
    quint64 value = 0;
    // Rowids take 63 bits at most: nine groups.
    for (size_t i = 0; i < encoded.size() && i < 9; ++i) {
        value |= quint64(encoded[i] & 0x7F) << (7 * i);
        if (!(encoded[i] & 0x80)) {
            used = i + 1;
            return value;
        }
    }
    damaged();
}

} // namespace NameIndexCoding
