#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class ActionManager;
class QWidget;

// Drives the six editing commands: they act on the focused edit field (a
// line edit or a plain text edit) and are enabled only while their action
// applies to it.
class EditCommands : public QObject
{
    Q_OBJECT

public:
    explicit EditCommands(ActionManager& actions);

private:
    void focusChanged(QWidget* now);
    void setTarget(QWidget* editor);
    void update();
    // Runs a command's line-edit or plain-text-edit form on the target.
    template <typename OnLine, typename OnText> void apply(bool changesText, OnLine onLine, OnText onText);
    void undo();
    void cut();
    void copy();
    void paste();
    void selectAll();
    void remove();

    ActionManager& m_actions;
    QPointer<QWidget> m_target;
    QList<QMetaObject::Connection> m_targetConnections;
};
