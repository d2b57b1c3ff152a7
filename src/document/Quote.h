#pragma once

#include "core/storage/PriceRow.h"

#include <QDate>
#include <QString>

#include <memory>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QTextDocument;
class SettingsRecord;

// A quote for the shop's customer: the price list shown in the grid with
// the retail prices only. The dealer price and the warehouse quantities
// are the shop's own business and never appear in it.
struct Quote
{
    QString shopName;
    QString shopAddress;
    QString shopEmail;
    QDate date;
    QString searchNumber; // as the clerk typed it
    std::vector<PriceRow> rows;
    bool showUsd = false;
    bool showEur = false;
    QString rateUsd; // as the parameters panel shows them
    QString rateEur;
    QString priceDate;

    // The shop, the rates and the price list's date from the settings record; dated today.
    static Quote fromSettings(const SettingsRecord& settings);

    QString html() const;
    // A document ready to print, in a font that has Cyrillic letters.
    std::unique_ptr<QTextDocument> document() const;
    // The same laid out on the printable area of the page.
    std::unique_ptr<QTextDocument> document(const QPageLayout& page) const;
    // On the device's printable area: a PDF writer, or the preview's printer.
    void print(QPagedPaintDevice& device) const;
    // A4, fonts embedded; the file is replaced whole or not at all.
    void writePdf(const QString& fileName) const;
    // The page writePdf() lays the quote out on.
    static QPageLayout pdfPage();
};
