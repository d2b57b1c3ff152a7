#include "PartSearch.h"

#include "core/storage/PriceCatalogue.h"
#include "core/storage/SettingsRecord.h"
#include "core/text/NormalizePartNumber.h"

PartSearch::PartSearch(PriceCatalogue& catalogue, const SettingsRecord& settings)
    : m_catalogue(catalogue), m_settings(settings)
{}

QString PartSearch::searchNumber(const QString& typed)
{
    return NormalizePartNumber(typed);
}

QString PartSearch::otherAlphabet(const QString& searchNr)
{
    static const QString latin = QStringLiteral("ABEKMHOPCTXIabekmhopctxi");
    static const QString cyrillic = QStringLiteral("АВЕКМНОРСТХІавекмнорстхі");
    QString other = searchNr;
    for (QChar& ch : other) {
        if (const qsizetype inLatin = latin.indexOf(ch); inLatin >= 0)
            ch = cyrillic[inLatin];
        else if (const qsizetype inCyrillic = cyrillic.indexOf(ch); inCyrillic >= 0)
            ch = latin[inCyrillic];
    }
    return other;
}

QStringList PartSearch::crossesOf(const QString& searchNr, QString* foundNr) const
{
    if (foundNr)
        *foundNr = searchNr;
    QStringList crosses = m_catalogue.crossesOf(searchNr);
    if (!crosses.isEmpty())
        return crosses;
    const QString other = otherAlphabet(searchNr);
    if (other == searchNr)
        return crosses;
    crosses = m_catalogue.crossesOf(other);
    if (!crosses.isEmpty() && foundNr)
        *foundNr = other;
    return crosses;
}

PriceCatalogue::Rates PartSearch::rates() const
{
    return {m_settings.floatValue(Tables::SettingsField::RATE_USD),
            m_settings.floatValue(Tables::SettingsField::RATE_EURO)};
}

std::vector<PriceRow> PartSearch::priceList(const QString& cross) const
{
    return m_catalogue.priceList(cross, rates());
}

PartSearch::Found PartSearch::find(const QString& typed) const
{
    Found found;
    found.searchNr = searchNumber(typed);
    found.crosses = crossesOf(found.searchNr, &found.foundNr);
    if (!found.crosses.isEmpty())
        found.rows = priceList(found.crosses.front());
    return found;
}
