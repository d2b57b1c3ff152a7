#include "PgSettingsStorage.h"

#include "core/errors/Error.h"
#include "core/postgres/PgConnection.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

const QString kDataSetName = QStringLiteral("ADOTableSettings");
const auto& kColumns = Tables::kSettingsColumns;

// Adding a row locks out the other writers for a moment, so that two
// clients saving into an empty table make one row between them.
constexpr char kLockForInsert[] = "LOCK TABLE SETTINGS IN SHARE ROW EXCLUSIVE MODE";
constexpr char kFirstRow[] = "SELECT min(ROW_NO) FROM SETTINGS";
constexpr char kColumnTypes[] =
    "SELECT attname, atttypid::regtype::text FROM pg_attribute WHERE attrelid = to_regclass('settings') "
    "AND attnum > 0 AND NOT attisdropped";

// The types a column of kind may have, the first as it is created.
QStringList typesOf(Tables::FieldKind kind)
{
    switch (kind) {
    case Tables::FieldKind::Text:
        return {QStringLiteral("character varying"), QStringLiteral("text"), QStringLiteral("character")};
    case Tables::FieldKind::Double:
        return {QStringLiteral("double precision"), QStringLiteral("real"), QStringLiteral("numeric")};
    case Tables::FieldKind::Integer:
        return {QStringLiteral("integer"), QStringLiteral("smallint"), QStringLiteral("bigint"),
                QStringLiteral("numeric")};
    case Tables::FieldKind::DateTime:
        break;
    }
    return {QStringLiteral("timestamp without time zone"), QStringLiteral("timestamp with time zone"),
            QStringLiteral("date"), QStringLiteral("character varying"), QStringLiteral("text")};
}

QString displayLabel(const Tables::SettingsColumn& column)
{
    return *column.label ? QCoreApplication::translate("Tables", column.label)
                         : QString::fromUtf8(column.name);
}

QVariant readColumn(const Tables::SettingsColumn& column, const PgResult& result, int index)
{
    if (result.isNull(0, index))
        return QVariant();
    switch (column.kind) {
    case Tables::FieldKind::Text:
        return result.string(0, index);
    case Tables::FieldKind::Double:
        return result.number(0, index).value_or(0);
    case Tables::FieldKind::Integer:
        return QVariant::fromValue<qint64>(result.integer(0, index));
    case Tables::FieldKind::DateTime:
        break;
    }
    // "YYYY-MM-DD", with a time after it in a timestamp.
    const QDate date = QDate::fromString(result.string(0, index).trimmed().left(10), Qt::ISODate);
    return date.isValid() ? QVariant(date) : QVariant();
}

PgParam param(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}

Error notSaved(const Error& error)
{
    return Error(QStringLiteral("%1: %2").arg(
        QCoreApplication::translate("PgSettingsStorage", "Настройки не сохранены"), error.message()));
}

} // namespace

PgSettingsStorage::PgSettingsStorage(PgConnection& db) : m_db(db)
{}

void PgSettingsStorage::checkColumns()
{
    const PgResult columns = m_db.exec(kColumnTypes);
    if (columns.rows() == 0)
        // The server names the failure, as for any missing table.
        m_db.exec("SELECT * FROM SETTINGS LIMIT 0");
    for (const Tables::SettingsColumn& column : kColumns) {
        int found = -1;
        for (int row = 0; row < columns.rows() && found < 0; ++row)
            if (columns.string(row, 0).compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
                found = row;
        if (found < 0)
            throw Error(kDataSetName + QStringLiteral(": Field '%1' not found").arg(displayLabel(column)));
        const QStringList types = typesOf(column.kind);
        if (!types.contains(columns.string(found, 1)))
            throw Error(kDataSetName +
                        QStringLiteral(": Type mismatch for field '%1', expecting: %2 actual: %3")
                            .arg(displayLabel(column), types.front(), columns.string(found, 1)));
    }
}

std::optional<SettingsStorage::Values> PgSettingsStorage::readFirstRow()
{
    QStringList names;
    for (const Tables::SettingsColumn& column : kColumns)
        names << QLatin1String(column.name);
    const PgResult row = m_db.exec(QStringLiteral("SELECT ROW_NO, %1 FROM SETTINGS ORDER BY ROW_NO LIMIT 1")
                                       .arg(names.join(QLatin1String(", ")))
                                       .toStdString());
    m_rowNo = -1;
    if (row.rows() == 0)
        return std::nullopt;
    m_rowNo = row.integer(0, 0);
    Values values(kColumns.size());
    for (size_t i = 0; i < kColumns.size(); ++i)
        values[i] = readColumn(kColumns[i], row, int(i) + 1);
    return values;
}

void PgSettingsStorage::write(const Values& values, const std::vector<bool>& modified)
{
    QStringList assignments, names, places;
    std::vector<PgParam> params;
    for (size_t i = 0; i < modified.size(); ++i) {
        if (!modified[i])
            continue;
        params.push_back(param(values[i]));
        names << QLatin1String(kColumns[i].name);
        places << QStringLiteral("$%1").arg(params.size());
        assignments << names.back() + QStringLiteral(" = ") + places.back();
    }
    if (params.empty())
        return;
    const std::string update = QStringLiteral("UPDATE SETTINGS SET %1 WHERE ROW_NO = $%2")
                                   .arg(assignments.join(QLatin1String(", ")))
                                   .arg(params.size() + 1)
                                   .toStdString();
    try {
        if (m_rowNo >= 0) {
            params.emplace_back(m_rowNo);
            m_db.exec(update, params);
            return;
        }
        PgTransaction transaction(m_db);
        m_db.exec(kLockForInsert);
        const PgResult first = m_db.exec(kFirstRow);
        qint64 rowNo = 0;
        if (first.isNull(0, 0)) {
            rowNo = m_db.exec(QStringLiteral("INSERT INTO SETTINGS (%1) VALUES (%2) RETURNING ROW_NO")
                                  .arg(names.join(QLatin1String(", ")), places.join(QLatin1String(", ")))
                                  .toStdString(),
                              params)
                        .integer(0, 0);
        } else {
            // Another client made the row meanwhile: this save goes into it.
            rowNo = first.integer(0, 0);
            params.emplace_back(rowNo);
            m_db.exec(update, params);
        }
        transaction.commit();
        m_rowNo = rowNo;
    } catch (const Error& error) {
        throw notSaved(error);
    }
}

void PgSettingsStorage::writePriceDate(const QDate& date)
{
    m_rowNo = writePriceDate(m_db, date);
}

qint64 PgSettingsStorage::writePriceDate(PgConnection& db, const QDate& date)
{
    const QString text = date.toString(Qt::ISODate);
    PgTransaction transaction(db);
    const PgResult updated = db.exec("UPDATE SETTINGS SET PRICE_DATE = $1 WHERE ROW_NO = (SELECT min(ROW_NO) "
                                     "FROM SETTINGS) RETURNING ROW_NO",
                                     {text});
    qint64 rowNo = 0;
    if (updated.rows() > 0) {
        rowNo = updated.integer(0, 0);
    } else {
        db.exec(kLockForInsert);
        const PgResult first = db.exec(kFirstRow);
        rowNo = first.isNull(0, 0)
                    ? db.exec("INSERT INTO SETTINGS (PRICE_DATE) VALUES ($1) RETURNING ROW_NO", {text})
                          .integer(0, 0)
                    : db.exec("UPDATE SETTINGS SET PRICE_DATE = $1 WHERE ROW_NO = $2 RETURNING ROW_NO",
                              {text, first.integer(0, 0)})
                          .integer(0, 0);
    }
    transaction.commit();
    return rowNo;
}
