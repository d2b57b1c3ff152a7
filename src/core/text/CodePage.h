#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text encodings of files written by the dealer's older Windows tools.
// Qt 6 converts the two Cyrillic single-byte code pages as well (through
// ICU: QStringDecoder("windows-1251"), "IBM866"), but they are tabled here:
// the supplier-file reader turns each short field straight into UTF-8, which
// the table does about 2.5 times as fast as ICU and toUtf8() (decoding a
// whole file into a QString ICU is faster, but only the small INI file is
// decoded whole), and ICU's IBM866 moves the control bytes 0x1A, 0x1C, 0x7F.
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
    // Whether the code page holds every character of text.
    static bool canEncode(Id id, QStringView text);

    static bool isValidUtf8(QByteArrayView bytes);
    // Length of the valid UTF-8 prefix of bytes, not splitting a sequence.
    static qsizetype validUtf8Prefix(QByteArrayView bytes);

    // The 128 characters of a single-byte code page for bytes 0x80..0xFF.
    static const char16_t* upperHalf(Id id);
};
