#include "QuoteVerb.h"

#include "core/config/IniFile.h"
#include "core/search/PartSearch.h"
#include "core/search/ShownColumns.h"
#include "core/session/ShopStorage.h"
#include "core/storage/SettingsRecord.h"
#include "core/storage/Storage.h"
#include "document/Quote.h"

int QuoteVerb::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 3)
        return wrongUsage(err);
    const QString folder = arguments[0];
    const std::unique_ptr<Storage> storage = openShop(folder, ShopStorage::Access::Read);
    SettingsRecord settings;
    settings.open(storage->settings());
    const PartSearch::Found found = PartSearch(storage->catalogue(), settings).find(arguments[1]);
    if (found.crosses.isEmpty()) {
        out << QStringLiteral("не найден\n");
        return 1;
    }
    Quote quote = Quote::fromSettings(settings);
    quote.searchNumber = arguments[1];
    quote.rows = found.rows;
    const ShownColumns shown = ShownColumns::read(IniFile(IniFile::clientFileName(folder)));
    quote.showUsd = shown.usd;
    quote.showEur = shown.eur;
    quote.writePdf(arguments[2]);
    return 0;
}
