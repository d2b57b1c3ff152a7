#pragma once

#include <QString>

// Qt's own texts (the file and print dialogs) in the interface's language,
// from the translations the system's Qt installs.
class QtTranslations
{
public:
    // language: "ru", "uk", "en"; false when the system has none for it.
    static bool install(const QString& language);
};
