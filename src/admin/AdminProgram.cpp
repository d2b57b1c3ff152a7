#include "AdminProgram.h"

#include "admin/ChangesVerb.h"
#include "admin/CompactVerb.h"
#include "admin/ConnectVerb.h"
#include "admin/FindVerb.h"
#include "admin/InitVerb.h"
#include "admin/OrderVerb.h"
#include "admin/QuoteVerb.h"
#include "admin/SearchVerb.h"
#include "admin/UpdateVerb.h"
#include "core/errors/Error.h"
#include "core/session/CommandLine.h"
#include "core/session/ShopStorage.h"

#include <functional>
#include <memory>

namespace {

struct Verb
{
    const char* name;
    std::function<std::unique_ptr<AdminVerb>()> make;
};

template <typename V> std::function<std::unique_ptr<AdminVerb>()> maker()
{
    return [] { return std::make_unique<V>(); };
}

const std::vector<Verb>& verbs()
{
    static const std::vector<Verb> table = {
        {"init", maker<InitVerb>()},       {"search", maker<SearchVerb>()}, {"changes", maker<ChangesVerb>()},
        {"compact", maker<CompactVerb>()}, {"update", maker<UpdateVerb>()}, {"order", maker<OrderVerb>()},
        {"quote", maker<QuoteVerb>()},     {"find", maker<FindVerb>()},     {"connect", maker<ConnectVerb>()},
    };
    return table;
}

std::unique_ptr<AdminVerb> verbNamed(const QString& name)
{
    for (const Verb& verb : verbs())
        if (name == QLatin1String(verb.name))
            return verb.make();
    return nullptr;
}

} // namespace

bool AdminProgram::needsGui(const QStringList& arguments)
{
    // The verb is the first argument that is no option.
    for (const QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('-'))) {
            const std::unique_ptr<AdminVerb> verb = verbNamed(argument);
            return verb && verb->needsGui();
        }
    return false;
}

int AdminProgram::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandLine commandLine(CommandLine::Program::Admin);
    if (!commandLine.parse(QStringList{QStringLiteral("tardesk-admin")} + arguments, out, err))
        return commandLine.exitCode();
    ShopStorage::setServer(commandLine.server());
    const QStringList positional = commandLine.positionalArguments();
    const std::unique_ptr<AdminVerb> verb = positional.isEmpty() ? nullptr : verbNamed(positional.front());
    if (!verb) {
        err << CommandLine::usage(CommandLine::Program::Admin);
        return 2;
    }
    try {
        return verb->execute(positional.mid(1), out, err);
    } catch (const std::exception& error) {
        err << Error::messageOf(error) << Qt::endl;
        return 1;
    }
}
