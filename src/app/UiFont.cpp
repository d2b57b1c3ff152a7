#include "UiFont.h"

#include <QFontDatabase>
#include <QGuiApplication>

QFont UiFont::named(const QString& family, int pointSize)
{
    QFont font = QFontDatabase::hasFamily(family) ? QFont(family) : QGuiApplication::font();
    font.setPointSize(pointSize);
    return font;
}
