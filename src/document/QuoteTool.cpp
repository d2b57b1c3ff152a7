#include "QuoteTool.h"

#include "core/config/IniFile.h"
#include "core/db/ClientFiles.h"
#include "core/db/Database.h"
#include "core/db/SettingsRecord.h"
#include "core/search/ShownColumns.h"
#include "core/session/AdminTool.h"
#include "core/session/CommandLine.h"
#include "core/text/Error.h"
#include "document/Quote.h"

int QuoteTool::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 3) {
        err << CommandLine::usage(CommandLine::Program::Admin);
        return 2;
    }
    try {
        const QString folder = arguments[0];
        Database database;
        SettingsRecord settings;
        const AdminTool::Found found = AdminTool::findFirst(folder, arguments[1], database, settings);
        if (found.crosses.isEmpty()) {
            out << QStringLiteral("не найден\n");
            return 1;
        }
        Quote quote = Quote::fromSettings(settings);
        quote.searchNumber = arguments[1];
        quote.rows = found.rows;
        const ShownColumns shown = ShownColumns::read(IniFile(ClientFiles::iniFileName(folder)));
        quote.showUsd = shown.usd;
        quote.showEur = shown.eur;
        quote.writePdf(arguments[2]);
        return 0;
    } catch (const std::exception& error) {
        err << Error::messageOf(error) << Qt::endl;
        return 1;
    }
}
