#include "AdminTool.h"

#include "common/Error.h"
#include "data/ClientFiles.h"
#include "data/Database.h"
#include "data/SettingsRecord.h"
#include "search/CrossSearch.h"
#include "search/NormalizePartNumber.h"
#include "search/PriceGridColumns.h"
#include "search/PriceListQuery.h"

#include "data/DatabaseCompactor.h"
#include "data/DatabaseLock.h"
#include <QFileInfo>

#include <exception>

namespace {

int init(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        err << AdminTool::usage();
        return 2;
    }
    ClientFiles::create(arguments.front());
    return 0;
}

QString tabSeparated(const QStringList& fields)
{
    return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

// What the client shows after a search, as text; never writes to the folder.
int search(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        err << AdminTool::usage();
        return 2;
    }
    const QString fileName = ClientFiles::databaseFileName(arguments[0]);
    if (!QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    Database database;
    database.open(fileName, Database::Mode::ReadOnly);
    SettingsRecord settings;
    settings.open(database);

    const QStringList crosses = CrossSearch::find(database.connection(), NormalizePartNumber(arguments[1]));
    if (crosses.isEmpty()) {
        out << QStringLiteral("не найден\n");
        return 0;
    }
    const std::vector<PriceRow> rows = PriceListQuery::open(database.connection(), crosses.front(),
                                                            settings.floatValue(QStringLiteral("RATE_USD")),
                                                            settings.floatValue(QStringLiteral("RATE_EURO")));
    // The whole answer is made before any of it is printed, so a failure prints only the error.
    QString text = QStringLiteral("Ok\n") + crosses.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
    QStringList titles;
    for (int column = 0; column < PriceGridColumns::kCount; ++column)
        titles << PriceGridColumns::title(column);
    text += tabSeparated(titles);
    for (const PriceRow& row : rows) {
        QStringList fields;
        for (int column = 0; column < PriceGridColumns::kCount; ++column)
            fields << PriceGridColumns::text(row, column);
        text += tabSeparated(fields);
    }
    out << text;
    return 0;
}

int compact(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        err << AdminTool::usage();
        return 2;
    }
    DatabaseLock lock(arguments.front());
    DatabaseCompactor::CompactClientDatabase(arguments.front(), QString(), lock);
    return 0;
}

} // namespace

QString AdminTool::usage()
{
    return QStringLiteral("usage: tardesk-admin init FOLDER\n"
                          "       tardesk-admin search FOLDER NUMBER\n"
                          "       tardesk-admin compact FOLDER\n");
}

int AdminTool::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty()) {
        err << usage();
        return 2;
    }
    const QString command = arguments.front();
    const QStringList rest = arguments.mid(1);
    try {
        if (command == QLatin1String("init"))
            return init(rest, err);
        if (command == QLatin1String("search"))
            return search(rest, out, err);
        if (command == QLatin1String("compact"))
            return compact(rest, err);
    } catch (const Error& error) {
        err << error.message() << Qt::endl;
        return 1;
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << Qt::endl;
        return 1;
    }
    err << usage();
    return 2;
}
