#include "InterfaceLanguage.h"

#include "core/config/IniFile.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {

const QString kSection = QStringLiteral("Main");
const QString kKey = QStringLiteral("Language");

QPointer<QTranslator>& installed()
{
    static QPointer<QTranslator> translator;
    return translator;
}

QString& currentCode()
{
    static QString code = QStringLiteral("ru");
    return code;
}

// The locale gettext would take messages from: C and POSIX have no language.
bool messagesInCLocale()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = QString::fromLocal8Bit(qgetenv(variable));
        if (value.isEmpty())
            continue;
        return value == QLatin1String("C") || value == QLatin1String("POSIX") ||
               value.startsWith(QLatin1String("C."));
    }
    return true;
}

} // namespace

const QStringList& InterfaceLanguage::codes()
{
    static const QStringList known = {QStringLiteral("ru"), QStringLiteral("uk"), QStringLiteral("en")};
    return known;
}

bool InterfaceLanguage::isKnown(const QString& code)
{
    return codes().contains(code);
}

QString InterfaceLanguage::fromLanguages(const QStringList& languages)
{
    for (const QString& language : languages) {
        const QString code = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
        if (code.compare(QLatin1String("uk"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("uk");
        if (code.compare(QLatin1String("ru"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("ru");
    }
    return QStringLiteral("ru");
}

QString InterfaceLanguage::fromSystem()
{
    if (messagesInCLocale())
        return QStringLiteral("ru");
    return fromLanguages(QLocale::system().uiLanguages());
}

QString InterfaceLanguage::choose(const QString& given, const QString& saved)
{
    if (isKnown(given))
        return given;
    if (isKnown(saved))
        return saved;
    return fromSystem();
}

QString InterfaceLanguage::saved(const IniFile& ini)
{
    return ini.ReadString(kSection, kKey, QString()).trimmed().toLower();
}

QString InterfaceLanguage::savedInFolder(const QString& programDir)
{
    try {
        return saved(IniFile(IniFile::clientFileName(programDir)));
    } catch (const std::exception&) {
        // The window's start reports an unreadable file.
        return QString();
    }
}

void InterfaceLanguage::save(IniFile& ini, const QString& code)
{
    ini.WriteString(kSection, kKey, code);
}

void InterfaceLanguage::install(const QString& language)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || !isKnown(language))
        return;
    if (QTranslator* previous = installed()) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    currentCode() = language;
    // Russian is the texts' own language.
    if (language == QLatin1String("ru"))
        return;
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral(":/i18n/tardesk_") + language + QStringLiteral(".qm"))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed() = translator;
}

QString InterfaceLanguage::current()
{
    return currentCode();
}
