#include "ClientSession.h"

#include "core/db/ClientFiles.h"
#include "core/text/Error.h"

#include <QFileInfo>

ClientSession::ClientSession(const QString& programDir)
    : m_programDir(programDir.endsWith(QLatin1Char('/')) ? programDir : programDir + QLatin1Char('/')),
      m_iniFileName(ClientFiles::iniFileName(m_programDir)),
      m_databaseFileName(ClientFiles::databaseFileName(m_programDir)), m_lock(m_programDir)
{}

QString ClientSession::missingFileMessage(const QString& path)
{
    return QStringLiteral("Ошибка открытия файла:\n") + path +
           QStringLiteral("\nПродолжение работы невозможно.");
}

void ClientSession::openIniFile()
{
    if (!QFileInfo::exists(m_iniFileName))
        throw Error(missingFileMessage(m_iniFileName));
    m_iniFile = std::make_unique<IniFile>(m_iniFileName);
}

void ClientSession::openDatabase(const std::function<void()>& whileWaiting)
{
    if (!QFileInfo::exists(m_databaseFileName))
        throw Error(missingFileMessage(m_databaseFileName));
    m_lock.lockShared(whileWaiting);
    m_database.open(m_databaseFileName);
    m_settings.open(m_database);
}

void ClientSession::reopenDatabase()
{
    m_lock.lockShared();
    if (!m_database.isOpen())
        m_database.open(m_databaseFileName);
    if (!m_settings.isOpen())
        m_settings.open(m_database);
}
