#include "SqliteSettingsStorage.h"

#include "core/errors/Error.h"
#include "core/sqlite/Database.h"
#include "core/sqlite/Schema.h"

#include <SQLiteCpp/Statement.h>

#include <QCoreApplication>
#include <QStringList>

namespace {

const QString kDataSetName = QStringLiteral("ADOTableSettings");
const auto& kColumns = Tables::kSettingsColumns;

enum class Affinity
{
    Integer,
    Text,
    Blob,
    Real,
    Numeric
};

// SQLite's rules for the affinity of a declared column type.
Affinity affinityOf(const QString& declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
        type.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (type.contains(QLatin1String("BLOB")) || type.trimmed().isEmpty())
        return Affinity::Blob;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

QString affinityName(Affinity affinity)
{
    switch (affinity) {
    case Affinity::Integer:
        return QStringLiteral("INTEGER");
    case Affinity::Text:
        return QStringLiteral("TEXT");
    case Affinity::Blob:
        return QStringLiteral("BLOB");
    case Affinity::Real:
        return QStringLiteral("REAL");
    case Affinity::Numeric:
        break;
    }
    return QStringLiteral("NUMERIC");
}

// Whether a declared type can hold the column, and the affinity named when not.
bool compatible(const Tables::SettingsColumn& column, const QString& declaredType, Affinity* expected)
{
    const Affinity actual = affinityOf(declaredType);
    switch (column.kind) {
    case Tables::FieldKind::Text:
        *expected = Affinity::Text;
        return actual == Affinity::Text;
    case Tables::FieldKind::Double:
        *expected = Affinity::Real;
        return actual == Affinity::Real || actual == Affinity::Numeric;
    case Tables::FieldKind::Integer:
        *expected = Affinity::Integer;
        return actual == Affinity::Integer || actual == Affinity::Numeric;
    case Tables::FieldKind::DateTime:
        break;
    }
    *expected = Affinity::Numeric;
    const QString type = declaredType.toUpper();
    return type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")) ||
           actual == Affinity::Text;
}

QString displayLabel(const Tables::SettingsColumn& column)
{
    return *column.label ? QCoreApplication::translate("Tables", column.label)
                         : QString::fromUtf8(column.name);
}

QVariant readColumn(const Tables::SettingsColumn& column, const SQLite::Column& value)
{
    if (value.isNull())
        return QVariant();
    switch (column.kind) {
    case Tables::FieldKind::Text:
        return QString::fromUtf8(value.getText());
    case Tables::FieldKind::Double:
        return value.getDouble();
    case Tables::FieldKind::Integer:
        return QVariant::fromValue<qint64>(value.getInt64());
    case Tables::FieldKind::DateTime:
        break;
    }
    // Stored as "YYYY-MM-DD", tolerating a time part after it.
    const QString text = QString::fromUtf8(value.getText()).trimmed();
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? QVariant(date) : QVariant();
}

void bindValue(SQLite::Statement& statement, int index, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        statement.bind(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        statement.bind(index, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        statement.bind(index, static_cast<int64_t>(value.toLongLong()));
        break;
    case QMetaType::QDate:
        statement.bind(index, value.toDate().toString(Qt::ISODate).toStdString());
        break;
    default:
        statement.bind(index, value.toString().toStdString());
        break;
    }
}

} // namespace

SqliteSettingsStorage::SqliteSettingsStorage(Database& database) : m_database(database)
{}

void SqliteSettingsStorage::checkColumns()
{
    SQLite::Statement info(m_database.connection(), "PRAGMA table_info(SETTINGS)");
    QStringList names, types;
    while (info.executeStep()) {
        names << QString::fromUtf8(info.getColumn(1).getText());
        types << QString::fromUtf8(info.getColumn(2).getText());
    }
    if (names.isEmpty()) {
        // Let the engine name the failure, as for any missing table.
        SQLite::Statement probe(m_database.connection(), "SELECT * FROM SETTINGS");
        probe.executeStep();
    }
    for (const Tables::SettingsColumn& column : kColumns) {
        qsizetype found = -1;
        for (qsizetype i = 0; i < names.size() && found < 0; ++i)
            if (names[i].compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            throw Error(kDataSetName + QStringLiteral(": Field '%1' not found").arg(displayLabel(column)));
        Affinity expected;
        if (!compatible(column, types[found], &expected))
            throw Error(kDataSetName +
                        QStringLiteral(": Type mismatch for field '%1', expecting: %2 actual: %3")
                            .arg(displayLabel(column), affinityName(expected),
                                 affinityName(affinityOf(types[found]))));
    }
}

std::optional<SettingsStorage::Values> SqliteSettingsStorage::readFirstRow()
{
    QStringList columns;
    for (const Tables::SettingsColumn& column : kColumns)
        columns << QLatin1String(column.name);
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM SETTINGS ORDER BY rowid LIMIT 1")
                            .arg(columns.join(QLatin1String(", ")));
    SQLite::Statement query(m_database.connection(), sql.toStdString());
    m_rowId = -1;
    if (!query.executeStep())
        return std::nullopt;
    m_rowId = query.getColumn(0).getInt64();
    Values values(kColumns.size());
    for (size_t i = 0; i < kColumns.size(); ++i)
        values[i] = readColumn(kColumns[i], query.getColumn(int(i) + 1));
    return values;
}

void SqliteSettingsStorage::write(const Values& values, const std::vector<bool>& modified)
{
    QStringList names;
    std::vector<size_t> changed;
    for (size_t i = 0; i < modified.size(); ++i) {
        if (modified[i]) {
            names << QLatin1String(kColumns[i].name);
            changed.push_back(i);
        }
    }
    if (changed.empty())
        return;
    const bool insert = m_rowId < 0;
    QString sql;
    if (insert) {
        QStringList marks;
        for (size_t k = 0; k < changed.size(); ++k)
            marks << QStringLiteral("?");
        sql = QStringLiteral("INSERT INTO SETTINGS (%1) VALUES (%2)")
                  .arg(names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    } else {
        sql = QStringLiteral("UPDATE SETTINGS SET %1=? WHERE rowid=?").arg(names.join(QLatin1String("=?, ")));
    }
    SQLite::Database& db = m_database.connection();
    try {
        SQLite::Statement statement(db, sql.toStdString());
        int parameter = 1;
        for (size_t index : changed)
            bindValue(statement, parameter++, values[index]);
        if (!insert)
            statement.bind(parameter, static_cast<int64_t>(m_rowId));
        statement.exec();
    } catch (const SQLite::Exception& error) {
        throw m_database.writeFailure(
            error, QCoreApplication::translate("SqliteSettingsStorage", "Настройки не сохранены"));
    }
    if (insert)
        m_rowId = db.getLastInsertRowid();
}

void SqliteSettingsStorage::writePriceDate(const QDate& date)
{
    m_rowId = writePriceDate(m_database.connection(), date);
}

qint64 SqliteSettingsStorage::writePriceDate(SQLite::Database& connection, const QDate& date)
{
    const std::string text = date.toString(Qt::ISODate).toStdString();
    SQLite::Statement update(connection, Schema::kUpdatePriceDate);
    update.bind(1, text);
    if (update.exec() > 0)
        return connection.execAndGet(Schema::kFirstSettingsRow).getInt64();
    // Posting the date into an empty table starts its first row.
    SQLite::Statement insert(connection, Schema::kInsertPriceDate);
    insert.bind(1, text);
    insert.exec();
    return connection.getLastInsertRowid();
}
