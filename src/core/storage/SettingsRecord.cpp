#include "SettingsRecord.h"

#include "core/errors/Error.h"
#include "core/storage/SettingsStorage.h"
#include "core/text/FloatText.h"
#include "core/text/RegionalFormats.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const QString kDataSetName = QStringLiteral("ADOTableSettings");

QString displayLabel(const Tables::SettingsColumn& column)
{
    return *column.label ? QCoreApplication::translate("Tables", column.label)
                         : QString::fromUtf8(column.name);
}

} // namespace

SettingsRecord::SettingsRecord(QObject* parent) : QObject(parent)
{
    m_values.resize(Tables::kSettingsColumns.size());
    m_savedValues.resize(Tables::kSettingsColumns.size());
    m_modified.assign(Tables::kSettingsColumns.size(), false);
}

void SettingsRecord::open(SettingsStorage& storage)
{
    close();
    m_storage = &storage;
    storage.checkColumns();
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
    m_hasRow = false;
    setState(State::Inactive);
    emit valuesChanged();
}

void SettingsRecord::readFirstRow()
{
    const std::optional<SettingsStorage::Values> row = m_storage->readFirstRow();
    m_hasRow = row.has_value();
    m_values = row ? *row : SettingsStorage::Values(m_values.size());
    m_savedValues = m_values;
    m_modified.assign(m_modified.size(), false);
}

QVariant SettingsRecord::value(Tables::SettingsField column) const
{
    return m_values[size_t(column)];
}

double SettingsRecord::floatValue(Tables::SettingsField column) const
{
    const QVariant current = value(column);
    return current.isNull() ? 0.0 : current.toDouble();
}

QDate SettingsRecord::dateValue(Tables::SettingsField column) const
{
    return value(column).toDate();
}

QString SettingsRecord::text(Tables::SettingsField column) const
{
    const auto index = size_t(column);
    switch (Tables::kSettingsColumns[index].kind) {
    case Tables::FieldKind::Double:
        return RegionalFormats::formatMoney(m_values[index]);
    case Tables::FieldKind::DateTime:
        return RegionalFormats::formatDate(m_values[index].toDate());
    case Tables::FieldKind::Text:
    case Tables::FieldKind::Integer:
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
    setState(m_hasRow ? State::Edit : State::Insert);
}

void SettingsRecord::setValue(Tables::SettingsField column, const QVariant& value)
{
    const auto index = size_t(column);
    if (!isEditing())
        throw Error(kDataSetName + QStringLiteral(": Dataset not in edit or insert mode"));
    m_values[index] = value;
    m_modified[index] = true;
    emit valuesChanged();
}

void SettingsRecord::setText(Tables::SettingsField column, const QString& text)
{
    const Tables::SettingsColumn& field = Tables::settingsColumn(column);
    switch (field.kind) {
    case Tables::FieldKind::Text:
        setValue(column, text);
        return;
    case Tables::FieldKind::Double:
        break;
    case Tables::FieldKind::DateTime:
    case Tables::FieldKind::Integer:
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
    // A new row gets every field, so each column holds what the dialog shows.
    const bool insert = m_state == State::Insert;
    if (insert || std::find(m_modified.begin(), m_modified.end(), true) != m_modified.end()) {
        m_storage->write(m_values, insert ? std::vector<bool>(m_modified.size(), true) : m_modified);
        m_hasRow = true;
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
    m_storage->writePriceDate(date);
    m_hasRow = true;
    const auto index = size_t(Tables::SettingsField::PRICE_DATE);
    m_values[index] = value;
    m_savedValues[index] = value;
    m_modified[index] = false;
    // A pending new row now exists in the table: saving it must update that row.
    if (m_state == State::Insert)
        setState(State::Edit);
    emit valuesChanged();
}

void SettingsRecord::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}
