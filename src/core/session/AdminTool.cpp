#include "AdminTool.h"

#include "core/db/ClientFiles.h"
#include "core/db/Database.h"
#include "core/db/SettingsRecord.h"
#include "core/search/CrossSearch.h"
#include "core/search/PriceGridColumns.h"
#include "core/search/PriceListQuery.h"
#include "core/text/Error.h"
#include "core/text/NormalizePartNumber.h"

#include "core/db/DatabaseCompactor.h"
#include "core/db/DatabaseLock.h"
#include "core/import/PriceListUpdate.h"
#include "core/session/CommandLine.h"
#include <QFileInfo>

#include <exception>

namespace {

int wrongUsage(QTextStream& err)
{
    err << CommandLine::usage(CommandLine::Program::Admin);
    return 2;
}

int init(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        return wrongUsage(err);
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
        return wrongUsage(err);
    }
    const QString fileName = ClientFiles::databaseFileName(arguments[0]);
    if (!QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    Database database;
    database.open(fileName, Database::Mode::ReadOnly);
    SettingsRecord settings;
    settings.open(database);

    CrossIndex crossIndex;
    const QStringList crosses =
        CrossSearch::find(database.connection(), crossIndex, NormalizePartNumber(arguments[1]));
    if (crosses.isEmpty()) {
        out << QStringLiteral("не найден\n");
        return 0;
    }
    const std::vector<PriceRow> rows = PriceListQuery::open(
        database.connection(), crosses.front(), settings.floatValue(Schema::SettingsField::RATE_USD),
        settings.floatValue(Schema::SettingsField::RATE_EURO));
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
        return wrongUsage(err);
    }
    DatabaseLock lock(arguments.front());
    DatabaseCompactor::CompactClientDatabase(arguments.front(), QString(), lock);
    return 0;
}

// Reports the share of the file read in whole percents, each figure once.
class PercentReporter : public ProgressReporter
{
public:
    explicit PercentReporter(QTextStream& err) : m_err(err) {}

    void update(qint64 position, qint64 total) override
    {
        if (total <= 0)
            return;
        const int percent = int(position * 100 / total);
        if (percent / 10 != m_shown / 10) {
            m_shown = percent;
            m_err << QStringLiteral("  %1%").arg(percent) << Qt::endl;
        }
    }
    void restart() { m_shown = -10; }

private:
    QTextStream& m_err;
    int m_shown = -10;
};

// The clerk's update without the questions: for scripts and for measuring.
int update(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        return wrongUsage(err);
    }
    const QString folder = arguments.front();
    const QString fileName = ClientFiles::databaseFileName(folder);
    if (!QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    {
        Database database;
        database.open(fileName, Database::Mode::ReadOnly);
        PriceListUpdate::checkPriceTable(database.connection());
    }
    DatabaseLock lock(folder);
    PercentReporter progress(err);
    PriceListUpdate update(
        folder, lock,
        [&](const QString& message) {
            err << message << Qt::endl;
            progress.restart();
        },
        &progress);
    err << PriceListUpdate::firstStage() << Qt::endl;
    const PriceListUpdate::Outcome outcome = update.run();
    const QString report = PriceListUpdate::adjustmentReport(outcome);
    if (!report.isEmpty())
        err << report << Qt::endl;
    return 0;
}

} // namespace

int AdminTool::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine commandLine(CommandLine::Program::Admin);
    if (!commandLine.parse(QStringList{QStringLiteral("tardesk-admin")} + arguments, out, err))
        return commandLine.exitCode();
    const QStringList positional = commandLine.positionalArguments();
    if (positional.isEmpty())
        return wrongUsage(err);
    const QString command = positional.front();
    const QStringList rest = positional.mid(1);
    try {
        if (command == QLatin1String("init"))
            return init(rest, err);
        if (command == QLatin1String("search"))
            return search(rest, out, err);
        if (command == QLatin1String("compact"))
            return compact(rest, err);
        if (command == QLatin1String("update"))
            return update(rest, err);
    } catch (const std::exception& error) {
        err << Error::messageOf(error) << Qt::endl;
        return 1;
    }
    return wrongUsage(err);
}
