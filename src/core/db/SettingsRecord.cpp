#include "SettingsRecord.h"

#include "core/db/Database.h"
#include "core/text/Error.h"
#include "core/text/FloatText.h"
#include "core/text/RegionalFormats.h"

#include <SQLiteCpp/Statement.h>

#include <QStringList>

namespace {

const QString kDataSetName = QStringLiteral("ADOTableSettings");

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
bool compatible(const Schema::SettingsColumn& column, const QString& declaredType, Affinity* expected)
{
    const Affinity actual = affinityOf(declaredType);
    switch (column.kind) {
    case Schema::FieldKind::Text:
        *expected = Affinity::Text;
        return actual == Affinity::Text;
    case Schema::FieldKind::Double:
        *expected = Affinity::Real;
        return actual == Affinity::Real || actual == Affinity::Numeric;
    case Schema::FieldKind::Integer:
        *expected = Affinity::Integer;
        return actual == Affinity::Integer || actual == Affinity::Numeric;
    case Schema::FieldKind::DateTime:
        break;
    }
    *expected = Affinity::Numeric;
    const QString type = declaredType.toUpper();
    return type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")) ||
           actual == Affinity::Text;
}

QString displayLabel(const Schema::SettingsColumn& column)
{
    return QString::fromUtf8(*column.label ? column.label : column.name);
}

QVariant readColumn(const Schema::SettingsColumn& column, const SQLite::Column& value)
{
    if (value.isNull())
        return QVariant();
    switch (column.kind) {
    case Schema::FieldKind::Text:
        return QString::fromUtf8(value.getText());
    case Schema::FieldKind::Double:
        return value.getDouble();
    case Schema::FieldKind::Integer:
        return QVariant::fromValue<qint64>(value.getInt64());
    case Schema::FieldKind::DateTime:
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

SettingsRecord::SettingsRecord(QObject* parent) : QObject(parent)
{
    m_values.resize(Schema::kSettingsColumns.size());
    m_savedValues.resize(Schema::kSettingsColumns.size());
    m_modified.assign(Schema::kSettingsColumns.size(), false);
}

void SettingsRecord::open(Database& database)
{
    close();
    m_database = &database;
    checkColumns();
    readFirstRow();
    setState(State::Browse);
    emit valuesChanged();
}

void SettingsRecord::close()
{
    if (m_state == State::Inactive)
        return;
    m_values.assign(m_values.size(), QVariant());
    m_savedValues = m_values;
    m_modified.assign(m_modified.size(), false);
    m_rowId = -1;
    setState(State::Inactive);
    emit valuesChanged();
}

void SettingsRecord::checkColumns()
{
    SQLite::Statement info(m_database->connection(), "PRAGMA table_info(SETTINGS)");
    QStringList names, types;
    while (info.executeStep()) {
        names << QString::fromUtf8(info.getColumn(1).getText());
        types << QString::fromUtf8(info.getColumn(2).getText());
    }
    if (names.isEmpty()) {
        // Let the engine name the failure, as for any missing table.
        SQLite::Statement probe(m_database->connection(), "SELECT * FROM SETTINGS");
        probe.executeStep();
    }
    for (const Schema::SettingsColumn& column : Schema::kSettingsColumns) {
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

void SettingsRecord::readFirstRow()
{
    QStringList columns;
    for (const Schema::SettingsColumn& column : Schema::kSettingsColumns)
        columns << QLatin1String(column.name);
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM SETTINGS ORDER BY rowid LIMIT 1")
                            .arg(columns.join(QLatin1String(", ")));
    SQLite::Statement query(m_database->connection(), sql.toStdString());
    m_rowId = -1;
    m_values.assign(m_values.size(), QVariant());
    if (query.executeStep()) {
        m_rowId = query.getColumn(0).getInt64();
        for (size_t i = 0; i < Schema::kSettingsColumns.size(); ++i)
            m_values[i] = readColumn(Schema::kSettingsColumns[i], query.getColumn(int(i) + 1));
    }
    m_savedValues = m_values;
    m_modified.assign(m_modified.size(), false);
}

QVariant SettingsRecord::value(Schema::SettingsField column) const
{
    return m_values[size_t(column)];
}

double SettingsRecord::floatValue(Schema::SettingsField column) const
{
    const QVariant current = value(column);
    return current.isNull() ? 0.0 : current.toDouble();
}

QDate SettingsRecord::dateValue(Schema::SettingsField column) const
{
    return value(column).toDate();
}

QString SettingsRecord::text(Schema::SettingsField column) const
{
    const auto index = size_t(column);
    switch (Schema::kSettingsColumns[index].kind) {
    case Schema::FieldKind::Double:
        return RegionalFormats::formatMoney(m_values[index]);
    case Schema::FieldKind::DateTime:
        return RegionalFormats::formatDate(m_values[index].toDate());
    case Schema::FieldKind::Text:
    case Schema::FieldKind::Integer:
        break;
    }
    return m_values[index].toString();
}

void SettingsRecord::requireOpen() const
{
    if (m_state == State::Inactive)
        throw Error(kDataSetName + QStringLiteral(": Cannot perform this operation on a closed dataset"));
}

void SettingsRecord::edit()
{
    requireOpen();
    if (isEditing())
        return;
    m_savedValues = m_values;
    m_modified.assign(m_modified.size(), false);
    setState(m_rowId < 0 ? State::Insert : State::Edit);
}

void SettingsRecord::setValue(Schema::SettingsField column, const QVariant& value)
{
    const auto index = size_t(column);
    if (!isEditing())
        throw Error(kDataSetName + QStringLiteral(": Dataset not in edit or insert mode"));
    m_values[index] = value;
    m_modified[index] = true;
    emit valuesChanged();
}

void SettingsRecord::setText(Schema::SettingsField column, const QString& text)
{
    const Schema::SettingsColumn& field = Schema::settingsColumn(column);
    switch (field.kind) {
    case Schema::FieldKind::Text:
        setValue(column, text);
        return;
    case Schema::FieldKind::Double:
        break;
    case Schema::FieldKind::DateTime:
    case Schema::FieldKind::Integer:
        throw Error(kDataSetName +
                    QStringLiteral(": Field '%1' is not edited as text").arg(displayLabel(field)));
    }
    if (text.isEmpty()) {
        setValue(column, QVariant());
        return;
    }
    const std::optional<double> number = FloatText::parse(text, RegionalFormats::decimalSeparator());
    if (!number)
        throw Error(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                        .arg(text, displayLabel(field)));
    setValue(column, *number);
}

void SettingsRecord::post()
{
    if (!isEditing())
        return;
    QStringList names;
    std::vector<size_t> changed;
    for (size_t i = 0; i < m_modified.size(); ++i) {
        if (m_modified[i] || m_state == State::Insert) {
            names << QLatin1String(Schema::kSettingsColumns[i].name);
            changed.push_back(i);
        }
    }
    if (!changed.empty()) {
        QString sql;
        if (m_state == State::Insert) {
            QStringList marks;
            for (size_t k = 0; k < changed.size(); ++k)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO SETTINGS (%1) VALUES (%2)")
                      .arg(names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
        } else {
            sql = QStringLiteral("UPDATE SETTINGS SET %1=? WHERE rowid=?")
                      .arg(names.join(QLatin1String("=?, ")));
        }
        SQLite::Statement statement(m_database->connection(), sql.toStdString());
        int parameter = 1;
        for (size_t index : changed)
            bindValue(statement, parameter++, m_values[index]);
        if (m_state == State::Edit)
            statement.bind(parameter, static_cast<int64_t>(m_rowId));
        statement.exec();
        if (m_state == State::Insert)
            m_rowId = m_database->connection().getLastInsertRowid();
    }
    m_savedValues = m_values;
    m_modified.assign(m_modified.size(), false);
    setState(State::Browse);
}

void SettingsRecord::cancel()
{
    if (!isEditing())
        return;
    m_values = m_savedValues;
    m_modified.assign(m_modified.size(), false);
    setState(State::Browse);
    emit valuesChanged();
}

void SettingsRecord::storePriceDate(const QDate& date)
{
    requireOpen();
    const QVariant value(date);
    m_rowId = writePriceDate(m_database->connection(), date);
    const auto index = size_t(Schema::SettingsField::PRICE_DATE);
    m_values[index] = value;
    m_savedValues[index] = value;
    m_modified[index] = false;
    // A pending new row now exists in the table: saving it must update that row.
    if (m_state == State::Insert)
        setState(State::Edit);
    emit valuesChanged();
}

qint64 SettingsRecord::writePriceDate(SQLite::Database& connection, const QDate& date)
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

void SettingsRecord::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}
