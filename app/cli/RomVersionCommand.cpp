#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/ConsoleTransferView.h"
#include "link/Exceptions.h"
#include "transfers/BackupReceive.h"

int RunRomVersion(CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        throw CliUsageError("'rom-version' takes no arguments");
    TTI92& link = context.Link().tti92();
    ConsoleTransferView view(link, context.out, context.err, ConsoleTransferView::IsTerminal(context.err));
    std::string version;
    try {
        version = GetRomVer(link, view);
    } catch (const ECalculatorError& e) {
        context.err << ErrorClassName(e) << ": " << ConsoleText(e.what()) << '\n';
        return 1;
    }
    if (version.empty()) {
        context.err << "linkwise-cli: the calculator named no ROM version\n";
        return 1;
    }
    context.out << version << '\n';
    return 0;
}
