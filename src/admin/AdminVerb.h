#pragma once

#include "core/session/ShopStorage.h"
#include "core/storage/Storage.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

// One verb of tardesk-admin. Failures are exceptions; the program prints
// their message on the error stream and exits with status 1.
class AdminVerb
{
public:
    virtual ~AdminVerb() = default;

    // The quote draws: it needs a Qt Gui application (never a display).
    virtual bool needsGui() const { return false; }
    // arguments follow the verb; returns the exit status.
    virtual int execute(const QStringList& arguments, QTextStream& out, QTextStream& err) = 0;

protected:
    // The usage on err; the status of a wrong command line.
    static int wrongUsage(QTextStream& err);
    // The shop in folder: on its server, or in its database file, which must exist.
    static std::unique_ptr<Storage> openShop(const QString& folder, ShopStorage::Access access);
    static QString tabSeparated(const QStringList& fields);
};
