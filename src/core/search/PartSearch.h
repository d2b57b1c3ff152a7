#pragma once

#include "core/storage/PriceCatalogue.h"
#include "core/storage/PriceRow.h"

#include <QString>
#include <QStringList>

#include <vector>

class SettingsRecord;

// A search as the clerk makes it: the typed number reduced to letters and
// digits, the cross numbers of the parts it begins, and a cross number's
// price list at the rates saved in the settings record.
class PartSearch
{
public:
    PartSearch(PriceCatalogue& catalogue, const SettingsRecord& settings);

    static QString searchNumber(const QString& typed);
    // The cross numbers searchNr finds. When it finds none and holds letters
    // that look alike in Latin and Cyrillic (a key of the other layout typed
    // them), searched once more with each such letter in the other alphabet;
    // foundNr, when given, is then the number that found them.
    QStringList crossesOf(const QString& searchNr, QString* foundNr = nullptr) const;
    // searchNr with every letter that looks alike in Latin and Cyrillic
    // written in the other alphabet.
    static QString otherAlphabet(const QString& searchNr);
    std::vector<PriceRow> priceList(const QString& cross) const;
    // The rates saved in the settings record now.
    PriceCatalogue::Rates rates() const;

    struct Found
    {
        QString searchNr;
        QString foundNr; // searchNr, or what found the crosses in the other alphabet
        QStringList crosses;
        std::vector<PriceRow> rows; // the first cross number's
    };
    // All of it at once, as a search on Enter shows it.
    Found find(const QString& typed) const;

private:
    PriceCatalogue& m_catalogue;
    const SettingsRecord& m_settings;
};
