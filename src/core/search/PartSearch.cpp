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

QStringList PartSearch::crossesOf(const QString& searchNr) const
{
    return m_catalogue.crossesOf(searchNr);
}

std::vector<PriceRow> PartSearch::priceList(const QString& cross) const
{
    return m_catalogue.priceList(cross, {m_settings.floatValue(Tables::SettingsField::RATE_USD),
                                         m_settings.floatValue(Tables::SettingsField::RATE_EURO)});
}

PartSearch::Found PartSearch::find(const QString& typed) const
{
    Found found;
    found.searchNr = searchNumber(typed);
    found.crosses = crossesOf(found.searchNr);
    if (!found.crosses.isEmpty())
        found.rows = priceList(found.crosses.front());
    return found;
}
