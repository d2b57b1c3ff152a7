#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The last distinct search numbers, newest first, as the search box's
// drop-down list shows them: every entry in capitals.
class SearchHistory
{
public:
    static constexpr int kMaxEntries = 20;

    const QStringList& entries() const { return m_entries; }

    // Puts a search number at the top unless an entry equals it ignoring
    // case; an empty one is never added, since it would end the history
    // at the next start.
    void AddSearchNr(const QString& searchNr);
    // Replaces the entries by "SearchNr0"... of section "PRICE" up to the first empty value.
    void LoadSearchHistory(const IniFile& ini);
    // Writes the entries from "SearchNr0" on; keys beyond them stay as they are.
    void SaveSearchHistory(IniFile& ini) const;

    // The first entry that begins with the typed text ignoring case; empty when none does.
    QString completion(QStringView typed) const;

private:
    static QString key(int position);

    QStringList m_entries;
};
