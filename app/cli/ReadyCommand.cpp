#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "link/Exceptions.h"
#include "link/PacketCheck.h"

int RunReady(CliContext& context, const ParsedOptions& args)
{
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments");
    Ti92Link& link = context.Link().tti92();
    const std::string device = context.Device();
    try {
        link.PrepareLine();
        if (link.CheckReady()) {
            context.out << "Calculator is ready.\n";
            return exitstatus::kSuccess;
        }
        context.out << "Calculator is not ready.\n";
        context.Fail(device + ": the ready check " + AckProblem(link));
    } catch (const ELinkError& e) {
        // Nobody answering is the plainest "not ready" there is.
        if (CliLink::InterruptStatus())
            throw;
        context.out << "Calculator is not ready.\n";
        context.Fail(device + ": " + ConsoleErrorLine(e, context.options.verbose));
    }
    return exitstatus::kRefused;
}
