#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The language the programs speak: Russian, the texts' own, unless the
// system's languages put Ukrainian before Russian; English only when chosen.
// Numbers and dates follow the regional formats whatever the language.
class InterfaceLanguage
{
public:
    // "ru", "uk", "en".
    static const QStringList& codes();
    static bool isKnown(const QString& code);

    // "uk" when languages (as QLocale::uiLanguages() lists them) name
    // Ukrainian before Russian, "ru" otherwise.
    static QString fromLanguages(const QStringList& languages);
    // The same for the system: under the C or POSIX locale LANGUAGE does not count.
    static QString fromSystem();
    // given: --lang; saved: [Main] Language; each empty or unknown when not chosen.
    static QString choose(const QString& given, const QString& saved);

    static QString saved(const IniFile& ini);
    // The same from programDir's Tardesk.ini; empty when it cannot be read.
    static QString savedInFolder(const QString& programDir);
    static void save(IniFile& ini, const QString& code);

    // Replaces the texts installed before (if any) with language's; needs the
    // application object, without which it does nothing.
    static void install(const QString& language);
    // The language installed last; "ru" before any.
    static QString current();
};
