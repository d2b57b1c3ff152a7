#pragma once

#include <QString>

#include <optional>
#include <string_view>

// Short QStrings made side by side in shared blocks of memory, each string
// holding a reference to its block, as a QString holds its own: a search
// that lists a hundred thousand cross numbers allocates, and frees, a few
// dozen blocks rather than a hundred thousand strings. A string changed
// later gets room of its own, as any shared QString does.
class SharedStrings
{
public:
    SharedStrings() = default;
    ~SharedStrings();
    SharedStrings(const SharedStrings&) = delete;
    SharedStrings& operator=(const SharedStrings&) = delete;

    // text as a QString when it is ASCII; nothing otherwise.
    std::optional<QString> fromAscii(std::string_view text);

private:
    static constexpr qsizetype kBlockUnits = 32768;

    void startBlock(qsizetype units);
    // Gives up this maker's own reference to the block being filled.
    void release();

    QTypedArrayData<char16_t>* m_block = nullptr;
    char16_t* m_next = nullptr;
    qsizetype m_left = 0;
};
