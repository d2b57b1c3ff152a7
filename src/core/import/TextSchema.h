#pragma once

#include "core/text/CodePage.h"

#include <QString>

#include <optional>
#include <vector>

// The layout of one supplier text file as described in a "schema.ini" beside it:
// its format, header, code page, quote, decimal symbol and columns. Suppliers
// write these files by hand, so keys are matched without regard to case.
class TextSchema
{
public:
    enum class Format
    {
        Unspecified, // no Format key: the delimiter is found from the header
        Delimited,
        FixedLength
    };
    struct Column
    {
        QString name;
        int width = 0; // characters; 0 when not given
        int line = 0;  // of its entry in schema.ini
    };

    // The section for fileName in folder/schema.ini; none when the file or the
    // section is missing. Throws Error for an entry that would misread the file.
    static std::optional<TextSchema> load(const QString& folder, const QString& fileName);
    // The same from the bytes of a schema.ini.
    static std::optional<TextSchema> parse(QByteArrayView bytes, const QString& fileName);

    // Throws Error when the quote is the field delimiter, whether Format
    // declares it or the header line of fileName shows it.
    void checkDelimiter(char fieldDelimiter, const QString& fileName) const;

    static inline const QLatin1String kFileName{"schema.ini"};

    Format format = Format::Unspecified;
    char delimiter = 0;
    bool columnNameHeader = true;
    std::optional<CodePage::Id> codePage;
    char textDelimiter = '"'; // 0: fields are never quoted
    char decimalSymbol = 0;   // 0: "." or ","
    int textDelimiterLine = 0;
    std::vector<Column> columns;
};
