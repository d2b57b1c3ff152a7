#include "IconRoles.h"

#include <QStyle>

namespace {

struct RoleIcon
{
    IconRoles::Role role;
    const char* themeName; // freedesktop icon naming
    int standardPixmap;    // QStyle::StandardPixmap, or -1 where the style has none
};

constexpr RoleIcon kIcons[] = {
    {IconRoles::Role::Setup, "preferences-system", QStyle::SP_FileDialogDetailedView},
    {IconRoles::Role::Exit, "application-exit", QStyle::SP_DialogCloseButton},
    {IconRoles::Role::Update, "view-refresh", QStyle::SP_BrowserReload},
    {IconRoles::Role::Cut, "edit-cut", -1},
    {IconRoles::Role::Copy, "edit-copy", -1},
    {IconRoles::Role::Paste, "edit-paste", -1},
    {IconRoles::Role::Undo, "edit-undo", QStyle::SP_ArrowBack},
    {IconRoles::Role::Delete, "edit-delete", QStyle::SP_TrashIcon},
};

const RoleIcon* find(IconRoles::Role role)
{
    for (const RoleIcon& entry : kIcons)
        if (entry.role == role)
            return &entry;
    return nullptr;
}

} // namespace

QIcon IconRoles::icon(Role role, const QStyle* style)
{
    const RoleIcon* entry = find(role);
    if (!entry)
        return QIcon();
    const QString name = QLatin1String(entry->themeName);
    QIcon themed = QIcon::fromTheme(name);
    if (themed.isNull())
        themed = QIcon::fromTheme(name + QStringLiteral("-symbolic"));
    if (!themed.isNull() || entry->standardPixmap < 0)
        return themed;
    return style->standardIcon(QStyle::StandardPixmap(entry->standardPixmap));
}
