#pragma once

#include "core/storage/Tables.h"

#include <QLineEdit>

class SettingsRecord;

// A single-line edit bound to one column of the settings record. The
// clerk's changes start editing the record; the text is written back only
// when it was changed, so an untouched rate keeps its unrounded value.
class SettingsFieldEdit : public QLineEdit
{
    Q_OBJECT

public:
    SettingsFieldEdit(SettingsRecord& record, Tables::SettingsField column, QWidget* parent = nullptr);

    // Writes a changed text into the record; throws when the record refuses it.
    void writeToRecord();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showRecord();
    void startEdit();

    SettingsRecord& m_record;
    Tables::SettingsField m_column;
};
