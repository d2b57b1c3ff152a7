#pragma once

#include "core/storage/Tables.h"

#include <QDate>
#include <QObject>
#include <QVariant>

#include <vector>

class SettingsStorage;

// The settings record: the first row of SETTINGS, open for the whole run.
// It knows whether it is being edited or browsed, and every window that
// shows or edits it follows its notifications.
class SettingsRecord : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };

    explicit SettingsRecord(QObject* parent = nullptr);

    // Checks the eighteen columns and reads the first row.
    void open(SettingsStorage& storage);
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }

    QVariant value(Tables::SettingsField column) const;
    // A column without a value reads as 0.
    double floatValue(Tables::SettingsField column) const;
    QDate dateValue(Tables::SettingsField column) const;
    // A field as an edit field shows it: rates as "0.00", dates as "dd.MM.yyyy".
    QString text(Tables::SettingsField column) const;

    // Starts editing; an empty table starts a new row.
    void edit();
    // Writes one field of the record being edited.
    void setValue(Tables::SettingsField column, const QVariant& value);
    // Writes a field's text as the clerk typed it: a rate is parsed with the
    // regional decimal separator and kept unrounded; an empty rate has no value.
    void setText(Tables::SettingsField column, const QString& text);
    // Stores the edit (update of the row, or insert into an empty table).
    void post();
    // Restores the values from before the edit.
    void cancel();
    // The price list update's date: stored in the row at once and kept by a
    // later cancel, while an edit in progress stays pending.
    void storePriceDate(const QDate& date);

signals:
    void valuesChanged();
    void stateChanged();

private:
    void readFirstRow();
    void setState(State state);
    void requireOpen() const;

    SettingsStorage* m_storage = nullptr;
    State m_state = State::Inactive;
    bool m_hasRow = false;
    std::vector<QVariant> m_values;
    std::vector<QVariant> m_savedValues;
    std::vector<bool> m_modified;
};
