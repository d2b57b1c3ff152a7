#include "core/config/IniFile.h"
#include "core/errors/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// Any bytes as Tardesk.ini: read, queried and saved; what is saved reads back
// to the same settings.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/tardesk-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/tardesk-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("Tardesk.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();
    try {
        IniFile ini(path);
        ini.ReadBool(QStringLiteral("PRICE"), QStringLiteral("ShowVhod"), true);
        const QString history =
            ini.ReadString(QStringLiteral("PRICE"), QStringLiteral("SearchNr0"), QString());
        ini.WriteString(QStringLiteral("PRICE"), QStringLiteral("SearchNr1"), history);
        const QString text = ini.text();
        ini.UpdateFile();
        if (IniFile(path).text() != text)
            std::abort();
    } catch (const Error& error) {
        if (error.message().isEmpty())
            std::abort();
    }
    return 0;
}
