#include "SearchBox.h"

#include "gui/search/UpperCaseValidator.h"

#include <QKeyEvent>
#include <QLineEdit>

SearchBox::SearchBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The history's own completion replaces the combo box's.
    setCompleter(nullptr);
    lineEdit()->setValidator(new UpperCaseValidator(this));
    connect(lineEdit(), &QLineEdit::textEdited, this, &SearchBox::complete);
}

void SearchBox::AddSearchNr(const QString& searchNr)
{
    m_history.AddSearchNr(searchNr);
    showHistory();
}

void SearchBox::LoadSearchHistory(const IniFile& ini)
{
    m_history.LoadSearchHistory(ini);
    showHistory();
}

void SearchBox::SaveSearchHistory(IniFile& ini) const
{
    m_history.SaveSearchHistory(ini);
}

void SearchBox::showHistory()
{
    // Refilling the list must leave the typed text as it is.
    const QString text = currentText();
    const int cursor = lineEdit()->cursorPosition();
    const QSignalBlocker blocker(this);
    clear();
    addItems(m_history.entries());
    setCurrentIndex(-1);
    setEditText(text);
    lineEdit()->setCursorPosition(cursor);
}

void SearchBox::complete(const QString& text)
{
    QLineEdit* edit = lineEdit();
    if (!m_completing || edit->cursorPosition() != text.size())
        return;
    const QString entry = m_history.completion(text);
    if (entry.size() <= text.size())
        return;
    edit->setText(entry);
    edit->setSelection(int(entry.size()), int(text.size() - entry.size()));
}

void SearchBox::keyPressEvent(QKeyEvent* event)
{
    const bool removes = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    m_completing = !removes && !event->text().isEmpty() && event->text().at(0).isPrint();
    QComboBox::keyPressEvent(event);
    m_completing = false;
}

void SearchBox::keyReleaseEvent(QKeyEvent* event)
{
    QComboBox::keyReleaseEvent(event);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat())
        emit enterReleased();
}
