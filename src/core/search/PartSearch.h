#pragma once

#include "core/storage/PriceRow.h"

#include <QString>
#include <QStringList>

#include <vector>

class PriceCatalogue;
class SettingsRecord;

// A search as the clerk makes it: the typed number reduced to letters and
// digits, the cross numbers of the parts it begins, and a cross number's
// price list at the rates saved in the settings record.
class PartSearch
{
public:
    PartSearch(PriceCatalogue& catalogue, const SettingsRecord& settings);

    static QString searchNumber(const QString& typed);
    QStringList crossesOf(const QString& searchNr) const;
    std::vector<PriceRow> priceList(const QString& cross) const;

    struct Found
    {
        QString searchNr;
        QStringList crosses;
        std::vector<PriceRow> rows; // the first cross number's
    };
    // All of it at once, as a search on Enter shows it.
    Found find(const QString& typed) const;

private:
    PriceCatalogue& m_catalogue;
    const SettingsRecord& m_settings;
};
