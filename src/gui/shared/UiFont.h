#pragma once

#include <QFont>

class UiFont
{
public:
    // The named family at 8 points when the system has it. Otherwise the
    // system's own interface family, a little smaller, since the usual ones
    // run wider and the window's fixed-size controls must still hold their
    // captions.
    static QFont eightPoint(const QString& family);
};
