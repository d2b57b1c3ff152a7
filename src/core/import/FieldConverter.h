#pragma once

#include "core/storage/FieldValue.h"
#include "core/storage/TableColumn.h"
#include "core/text/CodePage.h"

#include <QByteArrayView>
#include <QString>

#include <string>
#include <variant>

// Turns the bytes of one field into the value for its table column: text cut
// to the column's length and a number that does not fit its column left empty,
// both reported by the caller, so that one odd value does not cost the whole
// file. Never uses the C library's locale, whose decimal point varies by machine.
class FieldConverter
{
public:
    using Value = FieldValue;

    // decimalSymbol 0: "." or ",", unless "," is the delimiter.
    FieldConverter(CodePage::Id codePage, char decimalSymbol, char delimiter);

    // Utf8, Windows1251 or Dos866.
    void setCodePage(CodePage::Id codePage) { m_codePage = codePage; }
    CodePage::Id codePage() const { return m_codePage; }

    // Sets value from bytes; false when the text had to be cut or the number
    // left empty. An empty field is NULL and no adjustment.
    bool convert(QByteArrayView bytes, const TableColumn& column, Value& value) const;

    QString decode(QByteArrayView bytes) const;
    // The value as a message shows it (shownValue()); decodes only its start.
    QString shown(QByteArrayView bytes) const;
    // Bytes of the first characters of bytes (at most all of them).
    qsizetype charactersPrefix(QByteArrayView bytes, qsizetype characters) const;

private:
    bool parseNumber(QByteArrayView bytes, double* number) const;
    bool isDecimal(char c) const;
    bool convertText(QByteArrayView bytes, int length, std::string& text) const;

    CodePage::Id m_codePage;
    char m_decimalSymbol;
    char m_delimiter;
};
