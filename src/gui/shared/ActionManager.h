#pragma once

#include "core/storage/Tables.h"
#include "gui/shared/IconRoles.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <array>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The one set of commands of the main window. The menu bar, the toolbar and
// the grid's context menu are all built from here and show these same
// actions, so a command's checked and enabled states agree everywhere.
class ActionManager : public QObject
{
    Q_OBJECT

public:
    explicit ActionManager(QWidget* window);

    QAction* actionUpdatePrice;
    QAction* ActionSetup;
    QAction* actionExitProgramm;
    QAction* EditUndo1;
    QAction* EditCut1;
    QAction* EditCopy1;
    QAction* EditPaste1;
    QAction* EditSelectAll1;
    QAction* EditDelete1;
    QAction* actionFindByName; // last in "Правка", after the editing commands
    QAction* actionPriceVhodView;
    QAction* ActionPriceUSView;
    QAction* ActionPriceEUView;
    std::array<QAction*, Tables::kWarehouseCount> actionPriceFieldWH;
    QAction* ActionParametersView;
    QAction* actionPriceChangeView; // the change column; last in "Вид", so the others keep their places
    // "Документы": the last menu, so the others keep their places in the bar.
    QAction* actionAddToOrder; // Ins only while the grid itself has the focus
    QAction* actionOrder;
    QAction* actionQuote;
    QAction* actionCopyTable;
    QAction* actionPriceChanges;
    // The "Язык" submenu at the end of "Вид": one checkable action per language, its code as data.
    std::array<QAction*, 3> actionLanguage;

    QMenuBar* createMenuBar(QWidget* parent);
    QToolBar* createToolBar(QWidget* parent);
    QMenu* createGridMenu(QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Flag
    {
        NoFlags = 0,
        SeparatorBefore = 1, // in the menu bar
        Checkable = 2,
        InGridMenu = 4
    };

    struct Command
    {
        QAction* action;
        QString group;
        QString menuCaption; // empty: the command's own caption
        int flags;
    };

    QAction* add(const QString& name, const QString& group, const QString& caption, IconRoles::Role icon,
                 const QKeySequence& shortcut = {}, int flags = NoFlags);
    QAction* addToggle(const QString& name, const QString& group, const QString& caption,
                       const QString& menuCaption = {}, int flags = InGridMenu);
    QMenu* newMenu(const QString& title, QWidget* parent) const;

    QWidget* m_window;
    QList<Command> m_commands;
};
