#include "SupplierFileFuzzing.h"

using namespace SupplierFileFuzzing;

// Byte 0: encoding (see encode()); byte 1: bits 0-2 the Format key (none,
// Delimited(;), CSVDelimited, TabDelimited, Delimited(|), Delimited(,)),
// bit 3 ColNameHeader=False with the table's names as Col1.., bit 4
// TextDelimiter=', bit 5 TextDelimiter=none, bit 6 DecimalSymbol=",", bit 7
// the group table; then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    Input input;
    encode(data[0], QByteArrayView(reinterpret_cast<const char*>(data) + 2, qsizetype(size) - 2), input);
    const uint8_t flags = data[1];
    static const char* const formats[] = {"",
                                          "Format=Delimited(;)\r\n",
                                          "Format=CSVDelimited\r\n",
                                          "Format=TabDelimited\r\n",
                                          "Format=Delimited(|)\r\n",
                                          "Format=Delimited(,)\r\n",
                                          "",
                                          ""};
    input.schema += formats[flags & 7];
    const std::vector<TableColumn>& columns = table(flags & 0x80);
    if (flags & 0x08) {
        input.schema += "ColNameHeader=False\r\n";
        for (size_t i = 0; i < columns.size(); ++i)
            input.schema +=
                "Col" + QByteArray::number(qulonglong(i + 1)) + '=' + QByteArray(columns[i].name) + "\r\n";
    }
    if (flags & 0x10)
        input.schema += "TextDelimiter='\r\n";
    if (flags & 0x20)
        input.schema += "TextDelimiter=none\r\n";
    if (flags & 0x40)
        input.schema += "DecimalSymbol=,\r\n";
    readAndCheck(input, columns);
    return 0;
}
