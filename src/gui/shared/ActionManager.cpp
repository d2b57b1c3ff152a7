#include "ActionManager.h"

#include "gui/shared/CaptionProxyAction.h"
#include "gui/shared/UiFont.h"

#include <QAction>
#include <QEvent>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace {

const QString kOperations = QStringLiteral("Операции");
const QString kEdit = QStringLiteral("Правка");
const QString kView = QStringLiteral("Вид");
const QString kStock = QStringLiteral("Склад");
const QString kDocuments = QStringLiteral("Документы");

// Flat menus: a pale highlight with a thin frame instead of the style's own.
const QString kFlatMenuStyle = QStringLiteral(
    "QMenuBar::item { background: transparent; padding: 2px 6px; border: 1px solid transparent; }"
    "QMenuBar::item:selected, QMenuBar::item:pressed {"
    " background: rgb(247, 246, 238); color: palette(text); border: 1px solid palette(dark); }"
    "QMenu::item:selected:enabled {"
    " background: rgb(247, 246, 238); color: palette(text); border: 1px solid palette(dark); }");

const QSize kToolButtonSize(69, 36);

} // namespace

ActionManager::ActionManager(QWidget* window) : QObject(window), m_window(window)
{
    using Role = IconRoles::Role;
    actionUpdatePrice =
        add(QStringLiteral("actionUpdatePrice"), kOperations, QStringLiteral("Обновление"), Role::Update);
    ActionSetup = add(QStringLiteral("ActionSetup"), kOperations, QStringLiteral("Настройки"), Role::Setup);
    actionExitProgramm = add(QStringLiteral("actionExitProgramm"), kOperations, QStringLiteral("Выход"),
                             Role::Exit, {}, SeparatorBefore);

    EditUndo1 = add(QStringLiteral("EditUndo1"), kEdit, QStringLiteral("Отменить"), Role::Undo,
                    QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditCut1 = add(QStringLiteral("EditCut1"), kEdit, QStringLiteral("Вырезать"), Role::Cut,
                   QKeySequence(Qt::CTRL | Qt::Key_X), SeparatorBefore);
    EditCopy1 = add(QStringLiteral("EditCopy1"), kEdit, QStringLiteral("Копировать"), Role::Copy,
                    QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = add(QStringLiteral("EditPaste1"), kEdit, QStringLiteral("Вставить"), Role::Paste,
                     QKeySequence(Qt::CTRL | Qt::Key_V));
    EditSelectAll1 = add(QStringLiteral("EditSelectAll1"), kEdit, QStringLiteral("Выделить всё"), Role::None,
                         QKeySequence(Qt::CTRL | Qt::Key_A));
    EditDelete1 = add(QStringLiteral("EditDelete1"), kEdit, QStringLiteral("Удалить"), Role::Delete,
                      QKeySequence(Qt::Key_Delete));

    actionPriceVhodView =
        addToggle(QStringLiteral("actionPriceVhodView"), kView, QStringLiteral("Входная цена"));
    ActionPriceUSView = addToggle(QStringLiteral("ActionPriceUSView"), kView, QStringLiteral("Розница USD"),
                                  QStringLiteral("Розница &USD"));
    ActionPriceEUView = addToggle(QStringLiteral("ActionPriceEUView"), kView, QStringLiteral("Розница EUR"),
                                  QStringLiteral("Розница &EUR"));
    for (size_t i = 0; i < actionPriceFieldWH.size(); ++i)
        actionPriceFieldWH[i] =
            addToggle(QStringLiteral("actionPriceFieldWH%1").arg(i), kStock,
                      QStringLiteral("Склад №%1").arg(i + 1), QStringLiteral("Склад №&%1").arg(i + 1));
    ActionParametersView = addToggle(QStringLiteral("ActionParametersView"), kView,
                                     QStringLiteral("Параметры"), {}, SeparatorBefore);
    actionPriceChangeView = addToggle(QStringLiteral("actionPriceChangeView"), kView,
                                      QStringLiteral("Изменение цены"), {}, SeparatorBefore | InGridMenu);

    actionAddToOrder = add(QStringLiteral("actionAddToOrder"), kDocuments, QStringLiteral("В заказ"),
                           Role::None, QKeySequence(Qt::Key_Insert), InGridMenu);
    // Ins belongs to the grid: not to the search box, nor to the cell editor.
    actionAddToOrder->setShortcutContext(Qt::WidgetShortcut);
    actionOrder = add(QStringLiteral("actionOrder"), kDocuments, QStringLiteral("Заказ поставщику…"),
                      Role::None, QKeySequence(Qt::CTRL | Qt::Key_O));
    actionQuote = add(QStringLiteral("actionQuote"), kDocuments, QStringLiteral("Предложение клиенту…"),
                      Role::None, QKeySequence(Qt::CTRL | Qt::Key_P), SeparatorBefore);
    actionCopyTable = add(QStringLiteral("actionCopyTable"), kDocuments, QStringLiteral("Копировать таблицу"),
                          Role::None, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), InGridMenu);
    actionPriceChanges = add(QStringLiteral("actionPriceChanges"), kDocuments,
                             QStringLiteral("Изменения прайса…"), Role::None, {}, SeparatorBefore);
    // Added to "Правка" after the others, so that it ends that menu.
    actionFindByName = add(QStringLiteral("actionFindByName"), kEdit, tr("Найти по названию…"), Role::None,
                           QKeySequence(Qt::CTRL | Qt::Key_F), SeparatorBefore);
}

QAction* ActionManager::add(const QString& name, const QString& group, const QString& caption,
                            IconRoles::Role icon, const QKeySequence& shortcut, int flags)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setIcon(IconRoles::icon(icon, m_window->style()));
    action->setShortcut(shortcut);
    action->setCheckable(flags & Checkable);
    m_commands.append(Command{action, group, QString(), flags});
    return action;
}

QAction* ActionManager::addToggle(const QString& name, const QString& group, const QString& caption,
                                  const QString& menuCaption, int flags)
{
    QAction* action = add(name, group, caption, IconRoles::Role::None, {}, flags | Checkable);
    m_commands.last().menuCaption = menuCaption;
    return action;
}

QMenu* ActionManager::newMenu(const QString& title, QWidget* parent) const
{
    auto* menu = new QMenu(title, parent);
    menu->setFont(UiFont::eightPoint(QStringLiteral("Tahoma")));
    return menu;
}

QMenuBar* ActionManager::createMenuBar(QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    bar->setFont(UiFont::eightPoint(QStringLiteral("Tahoma")));
    bar->setStyleSheet(kFlatMenuStyle);

    // A group is a menu of its own; the warehouse group is a submenu of the view group.
    QHash<QString, QMenu*> menus;
    for (const Command& command : std::as_const(m_commands)) {
        QMenu*& menu = menus[command.group];
        if (!menu) {
            menu = newMenu(command.group, bar);
            if (command.group == kStock)
                menus.value(kView)->addMenu(menu);
            else
                bar->addMenu(menu);
        }
        if (command.flags & SeparatorBefore)
            menu->addSeparator();
        if (command.menuCaption.isEmpty())
            menu->addAction(command.action);
        else
            menu->addAction(new CaptionProxyAction(command.action, command.menuCaption, menu));
    }
    return bar;
}

QToolBar* ActionManager::createToolBar(QWidget* parent)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->toggleViewAction()->setVisible(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    for (QAction* action : {actionExitProgramm, actionUpdatePrice}) {
        bar->addAction(action);
        QWidget* button = bar->widgetForAction(action);
        button->setFixedSize(kToolButtonSize);
        button->installEventFilter(this);
    }
    return bar;
}

QMenu* ActionManager::createGridMenu(QWidget* parent)
{
    QMenu* menu = newMenu(QString(), parent);
    menu->setObjectName(QStringLiteral("PopupActionPriceParts"));
    menu->setStyleSheet(kFlatMenuStyle);
    QString previousGroup;
    for (const Command& command : std::as_const(m_commands)) {
        if (!(command.flags & InGridMenu))
            continue;
        if (!previousGroup.isEmpty() && command.group != previousGroup)
            menu->addSeparator();
        previousGroup = command.group;
        menu->addAction(command.action);
    }
    return menu;
}

bool ActionManager::eventFilter(QObject* watched, QEvent* event)
{
    // Tool buttons show their caption as a tooltip unless told otherwise.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QObject::eventFilter(watched, event);
}
