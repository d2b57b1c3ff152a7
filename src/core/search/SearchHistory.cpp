#include "SearchHistory.h"

#include "core/config/IniFile.h"
#include "core/text/CaseFolding.h"

namespace {
const QString kSection = QStringLiteral("PRICE");
} // namespace

QString SearchHistory::key(int position)
{
    return QStringLiteral("SearchNr") + QString::number(position);
}

void SearchHistory::AddSearchNr(const QString& searchNr)
{
    if (searchNr.isEmpty())
        return;
    for (const QString& entry : m_entries)
        if (CaseFolding::equal(entry, searchNr))
            return;
    m_entries.prepend(CaseFolding::upper(searchNr));
    if (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

void SearchHistory::LoadSearchHistory(const IniFile& ini)
{
    m_entries.clear();
    for (int position = 0; position < kMaxEntries; ++position) {
        const QString value = ini.ReadString(kSection, key(position), QString());
        if (value.isEmpty())
            break;
        m_entries.append(CaseFolding::upper(value));
    }
}

void SearchHistory::SaveSearchHistory(IniFile& ini) const
{
    for (int position = 0; position < m_entries.size(); ++position)
        ini.WriteString(kSection, key(position), m_entries[position]);
}

QString SearchHistory::completion(QStringView typed) const
{
    if (typed.isEmpty())
        return QString();
    for (const QString& entry : m_entries)
        if (CaseFolding::startsWith(entry, typed))
            return entry;
    return QString();
}
