#include "AdminTool.h"

#include "core/config/IniFile.h"
#include "core/db/ClientFiles.h"
#include "core/db/Database.h"
#include "core/db/SettingsRecord.h"
#include "core/order/Order.h"
#include "core/order/OrderExport.h"
#include "core/order/OrderSheet.h"
#include "core/order/OrderStore.h"
#include "core/search/CrossSearch.h"
#include "core/search/PriceChangeList.h"
#include "core/search/PriceGridColumns.h"
#include "core/search/PriceListQuery.h"
#include "core/search/ShownColumns.h"
#include "core/text/Error.h"
#include "core/text/NormalizePartNumber.h"
#include "core/text/RegionalFormats.h"

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

// What the client shows after a search, as text; writes nothing, though SQLite
// rolls back a journal that a killed writer left.
int search(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 2) {
        return wrongUsage(err);
    }
    Database database;
    SettingsRecord settings;
    const AdminTool::Found found = AdminTool::findFirst(arguments[0], arguments[1], database, settings);
    if (found.crosses.isEmpty()) {
        out << QStringLiteral("не найден\n");
        return 0;
    }
    const QStringList& crosses = found.crosses;
    const std::vector<PriceRow>& rows = found.rows;
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

// Every difference the last update found, one tab-separated line each.
int changes(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() != 1) {
        return wrongUsage(err);
    }
    const QString fileName = ClientFiles::databaseFileName(arguments[0]);
    if (!QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    Database database;
    database.open(fileName);
    QString text;
    for (const PriceChangeList::Line& line : PriceChangeList::read(database.connection()))
        text += tabSeparated(PriceChangeList::fields(line));
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
    const QString fileName = AdminTool::existingDatabase(folder);
    {
        Database database;
        database.open(fileName);
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
    err << PriceListUpdate::report(outcome) << Qt::endl;
    return 0;
}

QString listOf(const QStringList& codes)
{
    return codes.join(QStringLiteral(", "));
}

// The group codes among rows, each once ignoring case, as first spelled.
template <typename Rows> QStringList groupsOf(const Rows& rows)
{
    QStringList groups, folded;
    for (const auto& row : rows)
        if (!folded.contains(row.groupCode.toCaseFolded())) {
            folded << row.groupCode.toCaseFolded();
            groups << row.groupCode;
        }
    return groups;
}

void addToOrder(SQLite::Database& db, const QStringList& arguments)
{
    const QString partNumber = arguments[0];
    const QString groupCode = arguments.value(2);
    bool isNumber = false;
    const qint64 quantity = arguments[1].toLongLong(&isNumber);
    if (!isNumber)
        throw Error(QStringLiteral("Количество «%1» не целое число").arg(arguments[1]));
    OrderStore::checkQuantity(quantity, partNumber);
    const std::vector<PriceRow> rows = Order::findPart(db, partNumber, groupCode);
    if (rows.empty())
        throw Error(
            groupCode.isEmpty()
                ? QStringLiteral("Позиции %1 нет в прайс-листе").arg(partNumber)
                : QStringLiteral("Позиции %1 группы %2 нет в прайс-листе").arg(partNumber, groupCode));
    const QStringList groups = groupsOf(rows);
    if (groups.size() > 1)
        throw Error(QStringLiteral("Номер %1 есть в нескольких группах: %2; укажите код группы")
                        .arg(partNumber, listOf(groups)));
    OrderStore::add(db, rows.front(), int(quantity));
}

void removeFromOrder(SQLite::Database& db, const QStringList& arguments)
{
    const QString partNumber = arguments[0];
    const QString groupCode = arguments.value(1);
    std::vector<OrderStore::Line> found;
    for (const OrderStore::Line& line : OrderStore::lines(db))
        if (OrderStore::equalIgnoringCase(line.partNumber, partNumber) &&
            (groupCode.isEmpty() || OrderStore::equalIgnoringCase(line.groupCode, groupCode)))
            found.push_back(line);
    if (found.empty())
        throw Error(QStringLiteral("Позиции %1 нет в заказе").arg(partNumber));
    if (found.size() > 1)
        throw Error(QStringLiteral("Номер %1 есть в заказе в нескольких группах: %2; укажите код группы")
                        .arg(partNumber, listOf(groupsOf(found))));
    OrderStore::remove(db, found.front().id);
}

QString orderList(const Order& order)
{
    const QChar separator = RegionalFormats::decimalSeparator();
    const auto money = [separator](const std::optional<qint64>& cents) {
        return cents ? Order::moneyText(*cents, separator) : QString();
    };
    QString text;
    for (const Order::Line& line : order.lines())
        text += tabSeparated({line.partNumber, line.groupCode, line.partName, QString::number(line.quantity),
                              money(line.priceCents), money(line.sumCents)});
    text += tabSeparated({OrderSheet::totalTitle(), QString(), QString(),
                          QString::number(order.totalQuantity()), QString(), money(order.totalCents())});
    return text;
}

// The clerk's order to the supplier, kept in the database file.
int order(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString verb = arguments.value(1);
    const int extra = int(arguments.size()) - 2;
    const bool known = (verb == QLatin1String("add") && (extra == 2 || extra == 3)) ||
                       (verb == QLatin1String("remove") && (extra == 1 || extra == 2)) ||
                       (verb == QLatin1String("export") && extra == 1) ||
                       ((verb == QLatin1String("clear") || verb == QLatin1String("list")) && extra == 0);
    if (!known) {
        return wrongUsage(err);
    }
    const QString folder = arguments[0];
    const QStringList rest = arguments.mid(2);
    const QString fileName = AdminTool::existingDatabase(folder);
    Database database;
    if (verb == QLatin1String("list") || verb == QLatin1String("export")) {
        database.open(fileName);
        const Order current = Order::read(database.connection());
        if (verb == QLatin1String("list")) {
            out << orderList(current);
        } else {
            const IniFile ini(ClientFiles::iniFileName(folder));
            OrderExport::save(OrderSheet(current, ShownColumns::read(ini).warehouseList()), rest[0]);
        }
        return 0;
    }
    // A change waits while an update replaces the file, or it would be lost with the old one.
    DatabaseLock lock(folder);
    lock.lockShared();
    database.open(fileName);
    if (verb == QLatin1String("add"))
        addToOrder(database.connection(), rest);
    else if (verb == QLatin1String("remove"))
        removeFromOrder(database.connection(), rest);
    else
        OrderStore::clear(database.connection());
    return 0;
}

} // namespace

QString AdminTool::existingDatabase(const QString& folder)
{
    const QString fileName = ClientFiles::databaseFileName(folder);
    if (!QFileInfo(fileName).isFile())
        throw Error(QStringLiteral("Cannot open database \"%1\": no such file").arg(fileName));
    return fileName;
}

AdminTool::Found AdminTool::findFirst(const QString& folder, const QString& number, Database& database,
                                      SettingsRecord& settings)
{
    database.open(existingDatabase(folder));
    settings.open(database);
    Found found;
    CrossIndex crossIndex;
    found.crosses = CrossSearch::find(database.connection(), crossIndex, NormalizePartNumber(number));
    if (!found.crosses.isEmpty())
        found.rows = PriceListQuery::open(database.connection(), found.crosses.front(),
                                          settings.floatValue(Schema::SettingsField::RATE_USD),
                                          settings.floatValue(Schema::SettingsField::RATE_EURO));
    return found;
}

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
        if (command == QLatin1String("changes"))
            return changes(rest, out, err);
        if (command == QLatin1String("compact"))
            return compact(rest, err);
        if (command == QLatin1String("update"))
            return update(rest, err);
        if (command == QLatin1String("order"))
            return order(rest, out, err);
    } catch (const std::exception& error) {
        err << Error::messageOf(error) << Qt::endl;
        return 1;
    }
    return wrongUsage(err);
}
