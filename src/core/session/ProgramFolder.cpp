#include "ProgramFolder.h"

#include "core/config/IniFile.h"

#include "core/errors/Error.h"
#include "core/sqlite/ClientFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <exception>

namespace {

bool isInstalled(const QString& applicationDir)
{
    const QString folder = QDir::cleanPath(applicationDir) + QLatin1Char('/');
    return folder.startsWith(QLatin1String("/usr/"));
}

} // namespace

QString ProgramFolder::dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tardesk");
}

QString ProgramFolder::choose(const QString& applicationDir, const QString& chosen)
{
    if (!chosen.isEmpty())
        return chosen;
    if (!isInstalled(applicationDir))
        return applicationDir;
    const QString folder = dataFolder();
    // Only a first start gets new files: a folder holding one of the two keeps
    // the start-up error for the other, so the clerk's data is never replaced.
    if (!QFileInfo::exists(IniFile::clientFileName(folder)) &&
        !QFileInfo::exists(ClientFiles::databaseFileName(folder))) {
        try {
            ClientFiles::create(folder);
        } catch (const std::exception& error) {
            throw Error(
                QCoreApplication::translate(
                    "ProgramFolder", "Не удалось создать Tardesk.mdb и Tardesk.ini в папке данных:\n") +
                folder + QLatin1Char('\n') + Error::messageOf(error) +
                QCoreApplication::translate("ProgramFolder", "\nПродолжение работы невозможно."));
        }
    }
    return folder;
}
