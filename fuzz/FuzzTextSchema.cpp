#include "core/errors/Error.h"
#include "core/import/TextRecordParser.h"
#include "core/import/TextSchema.h"

#include <cstdint>
#include <cstdlib>

// A schema.ini for import.txt: any answer but an Error is a fault, and so is
// an accepted layout that breaks what the reader relies on.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const std::optional<TextSchema> schema = TextSchema::parse(bytes, QStringLiteral("import.txt"));
        if (!schema)
            return 0;
        if (schema->columns.size() > TextRecordParser::kMaxFields)
            std::abort();
        if (schema->format == TextSchema::Format::Delimited &&
            (!schema->delimiter || schema->delimiter == schema->textDelimiter))
            std::abort();
        for (const TextSchema::Column& column : schema->columns)
            if (column.name.isEmpty() || column.width < 0 ||
                (schema->format == TextSchema::Format::FixedLength && column.width == 0))
                std::abort();
    } catch (const Error& error) {
        if (error.message().isEmpty())
            std::abort();
    }
    return 0;
}
