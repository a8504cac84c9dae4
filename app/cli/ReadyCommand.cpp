#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"

int RunReady(CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        throw CliUsageError("'ready' takes no arguments");
    if (context.Link().tti92().CheckReady()) {
        context.out << "Calculator is ready.\n";
        return 0;
    }
    context.out << "Calculator is not ready.\n";
    return 1;
}
