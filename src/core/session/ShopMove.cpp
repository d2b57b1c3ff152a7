#include "ShopMove.h"

#include "core/postgres/PgConnection.h"
#include "core/postgres/PgNameIndex.h"
#include "core/postgres/PgSchema.h"
#include "core/storage/Tables.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ShopMove {

namespace {

enum class Kind
{
    Text,
    Number,
    Date
};

struct Column
{
    std::string name;
    Kind kind = Kind::Text;
};

// COPY sends rows in batches of about this many bytes.
constexpr size_t kBatchBytes = 1 << 20;
// The calls over a whole list: the copy, its indexes, the commit.
constexpr std::chrono::minutes kMoveDeadline{30};

template <size_t N> std::vector<Column> columnsOf(const std::array<TableColumn, N>& columns)
{
    std::vector<Column> result;
    for (const TableColumn& column : columns)
        result.push_back({column.name, column.kind == TableColumn::Text ? Kind::Text : Kind::Number});
    return result;
}

std::string joined(const std::vector<Column>& columns)
{
    std::string list;
    for (const Column& column : columns)
        list += (list.empty() ? "" : ", ") + column.name;
    return list;
}

// One value of the file as COPY reads it into a column of kind. The file
// keeps what it was given; a number stored as text reaches the server as
// that text, so that a value the server cannot read fails the move loudly,
// except an empty one, which the programs read as none.
void appendValue(std::string& row, const SQLite::Column& value, Kind kind)
{
    if (value.isNull()) {
        PgConnection::appendCopyField(row, std::nullopt);
    } else if (value.isInteger()) {
        PgConnection::appendCopyField(row, std::to_string(value.getInt64()));
    } else if (value.isFloat()) {
        // The shortest text that reads back as the same double.
        PgConnection::appendCopyField(
            row, QString::number(value.getDouble(), 'g', QLocale::FloatingPointShortest).toStdString());
    } else if (kind == Kind::Date) {
        // As the settings record reads it: a date, possibly with a time after it.
        const QDate date =
            QDate::fromString(QString::fromUtf8(value.getText()).trimmed().left(10), Qt::ISODate);
        PgConnection::appendCopyField(
            row, date.isValid() ? std::optional<std::string>(date.toString(Qt::ISODate).toStdString())
                                : std::nullopt);
    } else if (kind == Kind::Number && value.getString().empty()) {
        PgConnection::appendCopyField(row, std::nullopt);
    } else {
        PgConnection::appendCopyField(row, value.getString());
    }
}

// The rows the query from selects into table's columns, with each row's
// rowid into serverColumn when it is given.
void copy(SQLite::Database& file, PgConnection& db, const std::string& table,
          const std::vector<Column>& columns, const std::string& from, const std::string& serverColumn = {})
{
    const std::string sourceColumns = joined(columns) + (serverColumn.empty() ? "" : ", rowid");
    SQLite::Statement select(file, "SELECT " + sourceColumns + " " + from);
    db.beginCopy("COPY " + table + " (" + joined(columns) +
                 (serverColumn.empty() ? "" : ", " + serverColumn) + ") FROM STDIN (FREEZE)");
    std::string rows;
    while (select.executeStep()) {
        for (size_t i = 0; i < columns.size(); ++i)
            appendValue(rows, select.getColumn(int(i)), columns[i].kind);
        if (!serverColumn.empty())
            appendValue(rows, select.getColumn(int(columns.size())), Kind::Number);
        rows += '\n';
        if (rows.size() >= kBatchBytes) {
            db.putCopyData(rows);
            rows.clear();
        }
    }
    db.putCopyData(rows);
    db.endCopy();
}

// The identity of table's column goes on after the largest value copied.
void continueNumbering(PgConnection& db, const std::string& table, const std::string& column)
{
    db.exec("SELECT setval(pg_get_serial_sequence('" + table + "', '" + column + "'), coalesce(max(" +
            column + "), 0) + 1, false) FROM " + table);
}

void copyShop(SQLite::Database& file, PgConnection& db)
{
    using namespace Tables;
    // The indexes are built once over the whole list rather than row by row.
    db.exec("DROP INDEX PRICE_SHORTPARTNUMBER, PRICE_CROSSNUMBER, PRICE_ROW_NO");
    copy(file, db, kPriceTable, columnsOf(kPriceColumns), "FROM PRICE ORDER BY rowid", "ROW_NO");
    db.execScript(PgSchema::createPriceIndexes(kPriceTable));
    continueNumbering(db, "price", "row_no");
    PgNameIndex::buildInPlace(db, {});
    copy(file, db, kGroupsTable, columnsOf(kGroupsColumns), "FROM GROUPS");

    std::vector<Column> settings;
    for (const SettingsColumn& column : kSettingsColumns)
        settings.push_back({column.name, column.kind == FieldKind::Text       ? Kind::Text
                                         : column.kind == FieldKind::DateTime ? Kind::Date
                                                                              : Kind::Number});
    db.exec("DELETE FROM SETTINGS");
    copy(file, db, kSettingsTable, settings, "FROM SETTINGS ORDER BY rowid LIMIT 1");

    if (file.tableExists(kPriceChangesTable)) {
        // A table an earlier release made has no names of removed parts.
        SQLite::Statement named(
            file, "SELECT count(*) FROM pragma_table_info('PRICE_CHANGES') WHERE name = 'PARTNAME'");
        named.executeStep();
        std::vector<Column> changes{{"ROW_ID", Kind::Number},
                                    {"KIND", Kind::Text},
                                    {"OLD_PRICE", Kind::Number},
                                    {"GROUPCODE", Kind::Text},
                                    {"PARTNUMBER", Kind::Text}};
        if (named.getColumn(0).getInt() > 0)
            changes.push_back({"PARTNAME", Kind::Text});
        copy(file, db, kPriceChangesTable, changes, "FROM PRICE_CHANGES ORDER BY ROW_ID");
    }
    if (file.tableExists(kOrderTable)) {
        copy(file, db, kOrderTable,
             {{"LINE_ID", Kind::Number},
              {"GROUPCODE", Kind::Text},
              {"PARTNUMBER", Kind::Text},
              {"SHORTPARTNUMBER", Kind::Text},
              {"PARTNAME", Kind::Text},
              {"QUANTITY", Kind::Number}},
             "FROM ORDER_LINES ORDER BY LINE_ID");
        continueNumbering(db, "order_lines", "line_id");
    }
}

void move(PgConnection& db, const QString& databaseFile)
{
    PgTransaction transaction(db);
    PgSchema::create(db);
    if (!databaseFile.isEmpty()) {
        SQLite::Database file(QFile::encodeName(databaseFile).toStdString(), SQLite::OPEN_READONLY);
        // One snapshot of the file, whatever a client writes meanwhile.
        file.exec("BEGIN");
        copyShop(file, db);
        file.exec("COMMIT");
    }
    transaction.commit();
}

} // namespace

void copyToServer(PgConnection& db, const QString& databaseFile)
{
    const std::chrono::milliseconds deadline = db.deadline();
    db.setDeadline(kMoveDeadline);
    try {
        move(db, databaseFile);
    } catch (...) {
        db.setDeadline(deadline);
        throw;
    }
    db.setDeadline(deadline);
}

} // namespace ShopMove
