#include "EditCommands.h"

#include "gui/shared/ActionManager.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

// An editable combo box keeps the focus itself, not its inner line edit, so
// the search box is no edit field here even though it edits text.
QWidget* editorOf(QWidget* widget)
{
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget))
        return widget;
    return nullptr;
}

struct EditorState
{
    bool hasSelection = false;
    bool hasText = false;
    bool canUndo = false;
};

EditorState stateOf(QWidget* editor)
{
    EditorState state;
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        state.hasSelection = line->hasSelectedText();
        state.hasText = !line->text().isEmpty();
        state.canUndo = line->isUndoAvailable();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(editor)) {
        state.hasSelection = text->textCursor().hasSelection();
        state.hasText = !text->document()->isEmpty();
        state.canUndo = text->document()->isUndoAvailable();
    }
    return state;
}

bool isReadOnly(QWidget* editor)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        return line->isReadOnly();
    return qobject_cast<QPlainTextEdit*>(editor)->isReadOnly();
}

bool clipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

} // namespace

EditCommands::EditCommands(ActionManager& actions) : QObject(&actions), m_actions(actions)
{
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { focusChanged(now); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditCommands::update);
    connect(actions.EditUndo1, &QAction::triggered, this, &EditCommands::undo);
    connect(actions.EditCut1, &QAction::triggered, this, &EditCommands::cut);
    connect(actions.EditCopy1, &QAction::triggered, this, &EditCommands::copy);
    connect(actions.EditPaste1, &QAction::triggered, this, &EditCommands::paste);
    connect(actions.EditSelectAll1, &QAction::triggered, this, &EditCommands::selectAll);
    connect(actions.EditDelete1, &QAction::triggered, this, &EditCommands::remove);
    setTarget(editorOf(QApplication::focusWidget()));
}

void EditCommands::focusChanged(QWidget* now)
{
    // Opening a menu, or the application losing the focus, leaves the
    // commands with the field they would act on.
    if (!now || qobject_cast<QMenu*>(now) || qobject_cast<QMenuBar*>(now))
        return;
    setTarget(editorOf(now));
}

void EditCommands::setTarget(QWidget* editor)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_targetConnections))
        disconnect(connection);
    m_targetConnections.clear();
    m_target = editor;
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        m_targetConnections << connect(line, &QLineEdit::textChanged, this, &EditCommands::update)
                            << connect(line, &QLineEdit::selectionChanged, this, &EditCommands::update);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(editor)) {
        m_targetConnections << connect(text, &QPlainTextEdit::textChanged, this, &EditCommands::update)
                            << connect(text, &QPlainTextEdit::selectionChanged, this, &EditCommands::update)
                            << connect(text, &QPlainTextEdit::undoAvailable, this, &EditCommands::update);
    }
    update();
}

void EditCommands::update()
{
    const bool hasTarget = !m_target.isNull();
    const EditorState state = stateOf(m_target);
    m_actions.EditUndo1->setEnabled(hasTarget && state.canUndo);
    m_actions.EditCut1->setEnabled(hasTarget && state.hasSelection);
    m_actions.EditCopy1->setEnabled(hasTarget && state.hasSelection);
    m_actions.EditPaste1->setEnabled(hasTarget && clipboardHasText());
    m_actions.EditSelectAll1->setEnabled(hasTarget && state.hasText);
    m_actions.EditDelete1->setEnabled(hasTarget && state.hasSelection);
}

template <typename OnLine, typename OnText>
void EditCommands::apply(bool changesText, OnLine onLine, OnText onText)
{
    // A read-only field keeps its text: changing commands are no-ops there.
    if (!m_target || (changesText && isReadOnly(m_target)))
        return;
    if (auto* line = qobject_cast<QLineEdit*>(m_target))
        onLine(line);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(m_target))
        onText(text);
}

void EditCommands::undo()
{
    apply(
        false, [](QLineEdit* line) { line->undo(); }, [](QPlainTextEdit* text) { text->undo(); });
}

void EditCommands::cut()
{
    apply(
        true, [](QLineEdit* line) { line->cut(); }, [](QPlainTextEdit* text) { text->cut(); });
}

void EditCommands::copy()
{
    apply(
        false, [](QLineEdit* line) { line->copy(); }, [](QPlainTextEdit* text) { text->copy(); });
}

void EditCommands::paste()
{
    apply(
        true, [](QLineEdit* line) { line->paste(); }, [](QPlainTextEdit* text) { text->paste(); });
}

void EditCommands::selectAll()
{
    apply(
        false, [](QLineEdit* line) { line->selectAll(); }, [](QPlainTextEdit* text) { text->selectAll(); });
}

void EditCommands::remove()
{
    apply(
        true, [](QLineEdit* line) { line->del(); },
        [](QPlainTextEdit* text) {
            QTextCursor cursor = text->textCursor();
            cursor.removeSelectedText();
            text->setTextCursor(cursor);
        });
}
