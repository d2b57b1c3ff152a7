#include "core/text/NormalizePartNumber.h"

#include <cstdint>
#include <cstdlib>

// The input as UTF-16 units, so every character (lone surrogates included) is reached.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    const QString normal = NormalizePartNumber(text);
    // Only kept characters, in their order, and normalising again changes nothing.
    qsizetype from = 0;
    for (const QChar ch : normal) {
        from = text.indexOf(ch, from);
        if (!isPartNumberCharacter(ch) || from < 0)
            std::abort();
        ++from;
    }
    if (NormalizePartNumber(normal) != normal)
        std::abort();
    return 0;
}
