#pragma once

// A column of PRICE or GROUPS as its table declares it; the supplier files
// are read into these columns.
struct TableColumn
{
    enum Kind
    {
        Text,    // TEXT(n): length in characters
        Single,  // single-precision real
        Double,  // double-precision real
        Short,   // 16-bit integer
        Integer, // 32-bit integer
    };

    const char* name = "";
    Kind kind = Text;
    int length = 0;
};
