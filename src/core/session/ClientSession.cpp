#include "ClientSession.h"

#include "core/errors/Error.h"
#include "core/session/ShopStorage.h"

#include <QCoreApplication>
#include <QFileInfo>

ClientSession::ClientSession(const QString& programDir)
    : m_programDir(programDir.endsWith(QLatin1Char('/')) ? programDir : programDir + QLatin1Char('/')),
      m_iniFileName(IniFile::clientFileName(m_programDir))
{}

QString ClientSession::missingFileMessage(const QString& path)
{
    return QCoreApplication::translate("ClientSession", "Ошибка открытия файла:\n") + path +
           QCoreApplication::translate("ClientSession", "\nПродолжение работы невозможно.");
}

void ClientSession::openIniFile()
{
    if (!QFileInfo::exists(m_iniFileName))
        throw Error(missingFileMessage(m_iniFileName));
    m_iniFile = std::make_unique<IniFile>(m_iniFileName);
}

void ClientSession::openDatabase(const std::function<void()>& whileWaiting)
{
    const QString databaseFileName = ShopStorage::databaseFileName(m_programDir);
    if (ShopStorage::serverConnection(m_programDir).isEmpty() && !QFileInfo::exists(databaseFileName))
        throw Error(missingFileMessage(databaseFileName));
    // Searching needs no write: in a folder where no lock file can be made
    // the client goes on without the lock.
    m_storage = ShopStorage::open(m_programDir, ShopStorage::Access::Shared, whileWaiting);
    m_settings.open(m_storage->settings());
}

void ClientSession::closeDatabase()
{
    m_settings.close();
    if (m_storage)
        m_storage->suspend();
}

void ClientSession::reopenDatabase()
{
    storage().resume();
    if (!m_settings.isOpen())
        m_settings.open(m_storage->settings());
}

Storage& ClientSession::storage()
{
    if (!m_storage)
        throw Error(QStringLiteral("Connection is closed"));
    return *m_storage;
}
