#pragma once

#include <QStringView>

#include <SQLiteCpp/Database.h>

#include <string>
#include <vector>

// Matching ignoring case through a plain (binary) index: the text is tried
// in every spelling of its letters, and a spelling is dropped as soon as no
// key of the column begins with it, so only spellings that occur are ever
// looked up.
class KeySpellings
{
public:
    enum class Case
    {
        PartNumber, // the two cases of CaseFolding
        GroupCode,  // every letter that folds alike (UnicodeCaseFolding)
    };

    // The UTF-8 spellings of text with which some key of table.column
    // begins; table and column are fixed names, never user input.
    static std::vector<std::string> find(SQLite::Database& db, const char* table, const char* column,
                                         QStringView text, Case rule = Case::PartNumber);

    // The smallest text above every text that begins with prefix, in the
    // byte order of the index, for a range "column >= prefix AND column < end".
    static std::string rangeEnd(const std::string& prefix);
};
