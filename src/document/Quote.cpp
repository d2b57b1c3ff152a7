#include "Quote.h"

#include "core/errors/Error.h"
#include "core/search/PriceGridColumns.h"
#include "core/storage/SettingsRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

namespace {

// The grid's columns a customer may see, in the grid's order.
enum GridColumn
{
    PartNumber = 0,
    PartName = 1,
    Price = 3,
    PriceUsd = PriceGridColumns::PriceUsd,
    PriceEur = PriceGridColumns::PriceEur
};

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString cell(const QString& tag, const QString& text, const QString& attributes = QString())
{
    return QStringLiteral("<%1%2>%3</%1>").arg(tag, attributes, escaped(text));
}

// Titles on two lines, so the figures' columns stay narrow and the name
// gets the room; 0: the width the other columns leave.
QString heading(const QString& title, int percent)
{
    return QStringLiteral("<th%1>%2</th>")
        .arg(percent > 0 ? QStringLiteral(" width=\"%1%\"").arg(percent) : QString(),
             escaped(title).replace(QLatin1Char(' '), QLatin1String("<br>")));
}

int widthOf(int column)
{
    switch (column) {
    case PartNumber:
        return 18;
    case PartName:
        return 0;
    default:
        return 11;
    }
}

// A part number is read and typed as a whole, so it never wraps: its column
// grows to the longest number and the name's takes what is left.
QString cellAttributes(int column)
{
    if (column == PartNumber)
        return QStringLiteral(" style=\"white-space: nowrap\"");
    return PriceGridColumns::isNumber(column) ? QStringLiteral(" align=\"right\"") : QString();
}

bool inStock(const PriceRow& row)
{
    return std::any_of(row.stock.begin(), row.stock.end(),
                       [](const std::optional<qint64>& stock) { return stock && *stock > 0; });
}

} // namespace

Quote Quote::fromSettings(const SettingsRecord& settings)
{
    Quote quote;
    quote.shopName = settings.text(Tables::SettingsField::CL_NAME);
    quote.shopAddress = settings.text(Tables::SettingsField::CL_ADDRESS);
    quote.shopEmail = settings.text(Tables::SettingsField::CL_EMAIL);
    quote.rateUsd = settings.text(Tables::SettingsField::RATE_USD);
    quote.rateEur = settings.text(Tables::SettingsField::RATE_EURO);
    quote.priceDate = settings.text(Tables::SettingsField::PRICE_DATE);
    quote.date = QDate::currentDate();
    return quote;
}

QString Quote::html() const
{
    std::vector<int> columns{PartNumber, PartName, Price};
    if (showUsd)
        columns.push_back(PriceUsd);
    if (showEur)
        columns.push_back(PriceEur);

    QString html = QStringLiteral("<p><b><big>%1</big></b><br>%2<br>%3</p>")
                       .arg(escaped(shopName), escaped(shopAddress), escaped(shopEmail));
    html += QCoreApplication::translate("Quote", "<h3>Предложение от %1</h3><p>Номер: %2</p>")
                .arg(date.toString(QStringLiteral("dd.MM.yyyy")), escaped(searchNumber));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr>");
    for (int column : columns)
        html += heading(PriceGridColumns::shownTitle(column), widthOf(column));
    html += heading(QCoreApplication::translate("Quote", "Наличие"), 12) + QStringLiteral("</tr>");
    for (const PriceRow& row : rows) {
        html += QStringLiteral("<tr>");
        for (int column : columns)
            html +=
                cell(QStringLiteral("td"), PriceGridColumns::shownText(row, column), cellAttributes(column));
        html += cell(QStringLiteral("td"), inStock(row) ? QCoreApplication::translate("Quote", "есть")
                                                        : QCoreApplication::translate("Quote", "под заказ")) +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p>");
    if (showUsd)
        html += QCoreApplication::translate("Quote", "Курс USD: %1. ").arg(escaped(rateUsd));
    if (showEur)
        html += QCoreApplication::translate("Quote", "Курс EUR: %1. ").arg(escaped(rateEur));
    html += QCoreApplication::translate("Quote", "Цены по прайс-листу от %1.</p>").arg(escaped(priceDate));
    return html;
}

std::unique_ptr<QTextDocument> Quote::document() const
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"), 10);
    font.setStyleHint(QFont::SansSerif);
    document->setDefaultFont(font);
    document->setHtml(html());
    return document;
}

std::unique_ptr<QTextDocument> Quote::document(const QPageLayout& page) const
{
    // Laid out on the page's printable area, not within the document's own
    // 2 cm margins, in the screen's units, which print() scales to the device's.
    std::unique_ptr<QTextDocument> laidOut = document();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96;
    laidOut->setPageSize(page.paintRectPoints().size() * dpi / 72);
    return laidOut;
}

void Quote::print(QPagedPaintDevice& device) const
{
    document(device.pageLayout())->print(&device);
}

QPageLayout Quote::pdfPage()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

void Quote::writePdf(const QString& fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QCoreApplication::translate("Quote", "Не удалось записать файл %1: %2")
                        .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(pdfPage());
        writer.setTitle(QCoreApplication::translate("Quote", "Предложение ") + searchNumber);
        writer.setCreator(QStringLiteral("Tardesk"));
        print(writer);
    }
    if (!file.commit())
        throw Error(QCoreApplication::translate("Quote", "Не удалось записать файл %1: %2")
                        .arg(QDir::toNativeSeparators(fileName), file.errorString()));
}
