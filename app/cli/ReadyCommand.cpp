#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "link/PacketCheck.h"

int RunReady(CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        throw CliUsageError("'ready' takes no arguments");
    TTI92& link = context.Link().tti92();
    link.PrepareLine();
    if (link.CheckReady()) {
        context.out << "Calculator is ready.\n";
        return 0;
    }
    context.out << "Calculator is not ready.\n";
    context.err << "linkwise-cli: the ready check " << AckProblem(link) << "\n";
    return 1;
}
