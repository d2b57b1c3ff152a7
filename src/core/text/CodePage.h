#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text encodings of files written by the dealer's older Windows tools.
// Qt 6 itself only converts Unicode encodings, so the two Cyrillic
// single-byte code pages are tabled here.
class CodePage
{
public:
    enum Id
    {
        Utf8,
        Windows1251,
        Dos866,
        Utf16LE
    };

    static QString decode(Id id, QByteArrayView bytes);
    // Characters the code page cannot hold become "?".
    static QByteArray encode(Id id, QStringView text);

    static bool isValidUtf8(QByteArrayView bytes);
    // Length of the valid UTF-8 prefix of bytes, not splitting a sequence;
    // a sequence cut off at the end counts as valid when allowTruncatedEnd.
    static qsizetype validUtf8Prefix(QByteArrayView bytes, bool allowTruncatedEnd);

    // The 128 characters of a single-byte code page for bytes 0x80..0xFF.
    static const char16_t* upperHalf(Id id);
};
