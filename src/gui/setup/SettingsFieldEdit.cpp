#include "SettingsFieldEdit.h"

#include "core/storage/SettingsRecord.h"
#include "core/text/RegionalFormats.h"
#include "gui/setup/RateValidator.h"
#include "gui/shared/MessageBoxes.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QValidator>

SettingsFieldEdit::SettingsFieldEdit(SettingsRecord& record, Tables::SettingsField column, QWidget* parent)
    : QLineEdit(parent), m_record(record), m_column(column)
{
    setObjectName(QStringLiteral("DBEdit") + QLatin1String(Tables::settingsColumn(column).name));
    showRecord();
    // Every change by the clerk (keys, context menu, drag and drop) starts the edit.
    connect(this, &QLineEdit::textEdited, this, &SettingsFieldEdit::startEdit);
    connect(&m_record, &SettingsRecord::valuesChanged, this, [this] {
        if (!isModified())
            showRecord();
    });
    // Leaving the edit (saved, cancelled or closed) drops what was typed but not written.
    connect(&m_record, &SettingsRecord::stateChanged, this, [this] {
        if (!m_record.isEditing())
            showRecord();
    });
}

void SettingsFieldEdit::showRecord()
{
    setText(m_record.text(m_column));
}

void SettingsFieldEdit::startEdit()
{
    if (m_record.isEditing())
        return;
    if (!MessageBoxes::guard(window(), [this] { m_record.edit(); }))
        showRecord();
}

void SettingsFieldEdit::writeToRecord()
{
    if (!isModified())
        return;
    m_record.setText(m_column, text());
    showRecord();
}

void SettingsFieldEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Accepted here, so Esc never reaches the dialog and never closes it.
        showRecord();
        selectAll();
        event->accept();
        return;
    }
    // The keypad's decimal key types the separator of the regional formats,
    // whichever character the keyboard layout gives it.
    const bool keypadDecimal = (event->modifiers() & Qt::KeypadModifier) &&
                               (event->key() == Qt::Key_Period || event->key() == Qt::Key_Comma);
    if (keypadDecimal && qobject_cast<const RateValidator*>(validator())) {
        insert(QString(RegionalFormats::decimalSeparator()));
        event->accept();
        return;
    }
    QString typed = event->text();
    int position = 0;
    if (validator() && typed.size() == 1 && typed.front().isPrint() &&
        validator()->validate(typed, position) == QValidator::Invalid) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SettingsFieldEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Only moving to another control writes the text: not switching
    // windows, not opening the context menu, not closing the dialog.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason ||
        !isModified())
        return;
    if (!MessageBoxes::guard(window(), [this] { writeToRecord(); })) {
        // After the focus change has finished, give the clerk the refused text back.
        QTimer::singleShot(0, this, [this] {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        });
    }
}
