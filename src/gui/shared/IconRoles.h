#pragma once

#include <QIcon>

class QStyle;

// The command icons by what they stand for. The numbers are the positions
// the commands' images always had, kept so each role stays recognisable.
class IconRoles
{
public:
    enum class Role
    {
        None = -1,
        Setup = 1,
        Exit = 50,
        Update = 51,
        Cut = 52,
        Copy = 53,
        Paste = 54,
        Undo = 55,
        Delete = 56
    };

    // The desktop theme's icon, then its symbolic form, then the style's
    // standard icon; a null icon when none of them has one.
    static QIcon icon(Role role, const QStyle* style);
};
