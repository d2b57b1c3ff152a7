#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

// The client configuration file, held in memory from start-up to shutdown.
// Sections and entries keep their order; names compare ignoring case.
class IniFile
{
public:
    // Reads the whole file; an absent file gives an empty object.
    explicit IniFile(const QString& fileName);

    const QString& fileName() const { return m_fileName; }
    // The client's Tardesk.ini in programDir.
    static QString clientFileName(const QString& programDir);

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    bool hasKey(const QString& section, const QString& key) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // Writes everything back, replacing the file.
    void UpdateFile() const;

    // How the file was read and is written back: as found, except that a
    // text 1251 cannot hold is written as UTF-8. Without a byte-order mark,
    // UTF-8 is taken only when valid and, as a 1251 file's bytes may form
    // UTF-8 by chance ("ПІ" reads as "ϲ"), only when its letters are all
    // Latin or Cyrillic, the only ones the file's own texts hold; UTF-8 with
    // other letters is therefore written with the mark.
    enum class Encoding
    {
        Utf8,
        Windows1251,
        Utf16LE, // with its byte-order mark
        Utf16BE, // with its byte-order mark
    };

    // The text as UpdateFile writes it, before encoding.
    QString text() const;
    Encoding encoding() const { return m_encoding; }

    // The integer syntax of ReadBool; false when text is not such an integer.
    static bool parseInteger(const QString& text, qint32* value);

private:
    struct Entry
    {
        QString key;
        QString value;
        bool hasValue = true; // false: a line without "=", kept as it was
    };
    struct Section
    {
        QString name;
        std::vector<Entry> entries;
    };

    QString decode(QByteArrayView bytes);
    QByteArray encoded() const;
    void load(const QString& content);
    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    static Entry* findEntry(Section& section, const QString& key);

    QString m_fileName;
    Encoding m_encoding = Encoding::Utf8;
    bool m_byteOrderMark = false;
    std::vector<Section> m_sections;
};
