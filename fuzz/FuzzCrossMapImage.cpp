#include "core/storage/CrossMap.h"
#include "core/storage/MapImageReader.h"
#include "core/storage/PrefixIndex.h"

#include <string_view>

// A cross map's image as a counter reads it from the server, in pieces whose
// size byte 0 gives: refused, or read into maps whose lookups stay within them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t pieceBytes = 1 + data[0] % 64;
    std::string_view image(reinterpret_cast<const char*>(data) + 1, size - 1);
    MapImageReader reader([&]() -> std::optional<std::string_view> {
        if (image.empty())
            return std::nullopt;
        const std::string_view piece = image.substr(0, pieceBytes);
        image.remove_prefix(piece.size());
        return piece;
    });
    CrossMap crosses;
    PrefixIndex shortNumbers;
    if (!crosses.load(reader) || !shortNumbers.load(reader, uint32_t(crosses.crossCount())))
        return 0;
    for (const char* prefix : {"", "K", "K1", "X", "\xd0\x96"}) {
        shortNumbers.valuesOf(shortNumbers.rangeOf(prefix), [&](const uint32_t* first, const uint32_t* last) {
            crosses.markIds(first, last);
        });
        crosses.takeMarked();
    }
    return 0;
}
