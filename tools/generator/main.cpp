#include "SampleGenerator.h"

#include "core/errors/Error.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    bool ok = arguments.size() >= 3;
    const qint64 parts = ok ? arguments[2].toLongLong(&ok) : 0;
    bool seedOk = true;
    const quint64 seed = arguments.size() >= 4 ? arguments[3].toULongLong(&seedOk) : 1;
    const QString mode = ok ? arguments[0] : QString();
    if (!ok || !seedOk || parts < 0 || (mode != QLatin1String("text") && mode != QLatin1String("database"))) {
        err << "usage: tardesk-gen text FOLDER PARTS [SEED]      writes import.txt and importg.txt\n"
               "       tardesk-gen database FILE PARTS [SEED]    fills a Tardesk.mdb made by tardesk-admin "
               "init\n";
        return 2;
    }
    try {
        SampleGenerator generator(parts, seed);
        if (mode == QLatin1String("text"))
            generator.writeTextFiles(arguments[1]);
        else
            generator.writeDatabase(arguments[1]);
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << Qt::endl;
        return 1;
    }
    return 0;
}
