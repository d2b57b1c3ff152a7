#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool QtTranslations::install(const QString& language)
{
    // "qt_" brings the modules' files ("qtbase_" and the rest) with it.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(language), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}
