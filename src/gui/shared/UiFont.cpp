#include "UiFont.h"

#include <QFontDatabase>
#include <QGuiApplication>

QFont UiFont::eightPoint(const QString& family)
{
    if (QFontDatabase::hasFamily(family)) {
        QFont font(family);
        font.setPointSize(8);
        return font;
    }
    QFont font = QGuiApplication::font();
    font.setPointSizeF(7.5);
    return font;
}
