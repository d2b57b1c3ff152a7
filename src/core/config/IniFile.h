#pragma once

#include "core/text/CodePage.h"

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

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // Writes everything back, replacing the file.
    void UpdateFile() const;

    // The text as UpdateFile writes it, before encoding.
    QString text() const;
    CodePage::Id codePage() const { return m_codePage; }

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

    void load(const QByteArray& bytes);
    const Section* findSection(const QString& name) const;
    Section* findSection(const QString& name);
    static Entry* findEntry(Section& section, const QString& key);

    QString m_fileName;
    CodePage::Id m_codePage = CodePage::Utf8;
    bool m_byteOrderMark = false;
    std::vector<Section> m_sections;
};
