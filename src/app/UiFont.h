#pragma once

#include <QFont>

class UiFont
{
public:
    // The named family when the system has it, otherwise the system's own
    // interface font, at the given size either way.
    static QFont named(const QString& family, int pointSize);
};
