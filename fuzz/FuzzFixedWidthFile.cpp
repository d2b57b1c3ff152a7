#include "SupplierFileFuzzing.h"

using namespace SupplierFileFuzzing;

// Byte 0: encoding (see encode()); byte 1: bit 0 ColNameHeader=True, bit 7
// the group table; byte 2: how many of the table's columns are declared;
// then one byte per column for its width (0xFF: 100000); then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const std::vector<TableColumn>& columns = table(data[1] & 0x80);
    const size_t declared = 1 + data[2] % columns.size();
    if (size < 3 + declared)
        return 0;
    Input input;
    encode(data[0],
           QByteArrayView(reinterpret_cast<const char*>(data) + 3 + declared, qsizetype(size - 3 - declared)),
           input);
    input.schema += "Format=FixedLength\r\n";
    input.schema += data[1] & 1 ? "ColNameHeader=True\r\n" : "ColNameHeader=False\r\n";
    for (size_t i = 0; i < declared; ++i) {
        const int width = data[3 + i] == 0xFF ? 100000 : data[3 + i] % 40;
        input.schema += "Col" + QByteArray::number(qulonglong(i + 1)) + '=' + QByteArray(columns[i].name) +
                        " Text Width " + QByteArray::number(width) + "\r\n";
    }
    readAndCheck(input, columns);
    return 0;
}
