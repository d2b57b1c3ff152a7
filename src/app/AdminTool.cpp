#include "AdminTool.h"

#include "common/Error.h"
#include "data/ClientFiles.h"
#include "data/DatabaseCompactor.h"
#include "data/DatabaseLock.h"

#include <exception>

namespace {

int init(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        err << AdminTool::usage();
        return 2;
    }
    ClientFiles::create(arguments.front());
    return 0;
}

int compact(const QStringList& arguments, QTextStream& err)
{
    if (arguments.size() != 1) {
        err << AdminTool::usage();
        return 2;
    }
    DatabaseLock lock(arguments.front());
    DatabaseCompactor::CompactClientDatabase(arguments.front(), QString(), lock);
    return 0;
}

} // namespace

QString AdminTool::usage()
{
    return QStringLiteral("usage: tardesk-admin init FOLDER\n"
                          "       tardesk-admin compact FOLDER\n");
}

int AdminTool::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    Q_UNUSED(out);
    if (arguments.isEmpty()) {
        err << usage();
        return 2;
    }
    const QString command = arguments.front();
    const QStringList rest = arguments.mid(1);
    try {
        if (command == QLatin1String("init"))
            return init(rest, err);
        if (command == QLatin1String("compact"))
            return compact(rest, err);
    } catch (const Error& error) {
        err << error.message() << Qt::endl;
        return 1;
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << Qt::endl;
        return 1;
    }
    err << usage();
    return 2;
}
