#include "ActionManager.h"

#include "core/session/InterfaceLanguage.h"
#include "gui/shared/CaptionProxyAction.h"
#include "gui/shared/UiFont.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace {

const char* const kOperations = QT_TRANSLATE_NOOP("ActionManager", "Операции");
const char* const kEdit = QT_TRANSLATE_NOOP("ActionManager", "Правка");
const char* const kView = QT_TRANSLATE_NOOP("ActionManager", "Вид");
const char* const kStock = QT_TRANSLATE_NOOP("ActionManager", "Склад");
const char* const kDocuments = QT_TRANSLATE_NOOP("ActionManager", "Документы");

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
        add(QStringLiteral("actionUpdatePrice"), tr(kOperations), tr("Обновление"), Role::Update);
    ActionSetup = add(QStringLiteral("ActionSetup"), tr(kOperations), tr("Настройки"), Role::Setup);
    actionExitProgramm = add(QStringLiteral("actionExitProgramm"), tr(kOperations), tr("Выход"), Role::Exit,
                             {}, SeparatorBefore);

    EditUndo1 = add(QStringLiteral("EditUndo1"), tr(kEdit), tr("Отменить"), Role::Undo,
                    QKeySequence(Qt::CTRL | Qt::Key_Z));
    EditCut1 = add(QStringLiteral("EditCut1"), tr(kEdit), tr("Вырезать"), Role::Cut,
                   QKeySequence(Qt::CTRL | Qt::Key_X), SeparatorBefore);
    EditCopy1 = add(QStringLiteral("EditCopy1"), tr(kEdit), tr("Копировать"), Role::Copy,
                    QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = add(QStringLiteral("EditPaste1"), tr(kEdit), tr("Вставить"), Role::Paste,
                     QKeySequence(Qt::CTRL | Qt::Key_V));
    EditSelectAll1 = add(QStringLiteral("EditSelectAll1"), tr(kEdit), tr("Выделить всё"), Role::None,
                         QKeySequence(Qt::CTRL | Qt::Key_A));
    EditDelete1 = add(QStringLiteral("EditDelete1"), tr(kEdit), tr("Удалить"), Role::Delete,
                      QKeySequence(Qt::Key_Delete));

    actionPriceVhodView = addToggle(QStringLiteral("actionPriceVhodView"), tr(kView), tr("Входная цена"));
    ActionPriceUSView =
        addToggle(QStringLiteral("ActionPriceUSView"), tr(kView), tr("Розница USD"), tr("Розница &USD"));
    ActionPriceEUView =
        addToggle(QStringLiteral("ActionPriceEUView"), tr(kView), tr("Розница EUR"), tr("Розница &EUR"));
    for (size_t i = 0; i < actionPriceFieldWH.size(); ++i)
        actionPriceFieldWH[i] = addToggle(QStringLiteral("actionPriceFieldWH%1").arg(i), tr(kStock),
                                          tr("Склад №%1").arg(i + 1), tr("Склад №&%1").arg(i + 1));
    ActionParametersView =
        addToggle(QStringLiteral("ActionParametersView"), tr(kView), tr("Параметры"), {}, SeparatorBefore);
    actionPriceChangeView = addToggle(QStringLiteral("actionPriceChangeView"), tr(kView),
                                      tr("Изменение цены"), {}, SeparatorBefore | InGridMenu);

    actionAddToOrder = add(QStringLiteral("actionAddToOrder"), tr(kDocuments), tr("В заказ"), Role::None,
                           QKeySequence(Qt::Key_Insert), InGridMenu);
    // Ins belongs to the grid: not to the search box, nor to the cell editor.
    actionAddToOrder->setShortcutContext(Qt::WidgetShortcut);
    actionOrder = add(QStringLiteral("actionOrder"), tr(kDocuments), tr("Заказ поставщику…"), Role::None,
                      QKeySequence(Qt::CTRL | Qt::Key_O));
    actionQuote = add(QStringLiteral("actionQuote"), tr(kDocuments), tr("Предложение клиенту…"), Role::None,
                      QKeySequence(Qt::CTRL | Qt::Key_P), SeparatorBefore);
    actionCopyTable = add(QStringLiteral("actionCopyTable"), tr(kDocuments), tr("Копировать таблицу"),
                          Role::None, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), InGridMenu);
    actionPriceChanges = add(QStringLiteral("actionPriceChanges"), tr(kDocuments), tr("Изменения прайса…"),
                             Role::None, {}, SeparatorBefore);

    // Each language in its own words, the same whatever the language.
    const QStringList languageNames = {QStringLiteral("Русский"), QStringLiteral("Українська"),
                                       QStringLiteral("English")};
    auto* languages = new QActionGroup(this);
    for (size_t i = 0; i < actionLanguage.size(); ++i) {
        const QString& code = InterfaceLanguage::codes()[qsizetype(i)];
        actionLanguage[i] = new QAction(languageNames[qsizetype(i)], languages);
        actionLanguage[i]->setObjectName(QStringLiteral("actionLanguage_") + code);
        actionLanguage[i]->setData(code);
        actionLanguage[i]->setCheckable(true);
        actionLanguage[i]->setChecked(code == InterfaceLanguage::current());
    }
    // Added to "Правка" after the others, so that it ends that menu.
    actionFindByName = add(QStringLiteral("actionFindByName"), tr(kEdit), tr("Найти по названию…"),
                           Role::None, QKeySequence(Qt::CTRL | Qt::Key_F), SeparatorBefore);
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
            if (command.group == tr(kStock))
                menus.value(tr(kView))->addMenu(menu);
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
    QMenu* view = menus.value(tr(kView));
    view->addSeparator();
    QMenu* languages = newMenu(tr("Язык"), view);
    languages->setObjectName(QStringLiteral("menuLanguage"));
    for (QAction* language : actionLanguage)
        languages->addAction(language);
    view->addMenu(languages);
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
