#include <ostream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/PrintableText.h"
#include "link/Exceptions.h"
#include "transfers/BackupReceive.h"

int RunRomVersion(CliContext& context, const ParsedOptions& args)
{
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments");
    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    std::string version;
    try {
        version = GetRomVer(link, view);
    } catch (const ECalculatorError& e) {
        context.Fail("the calculator refused", ConsoleErrorLine(e, context.options.verbose));
        return exitstatus::kRefused;
    }
    if (version.empty()) {
        context.Fail("the calculator named no ROM version");
        return exitstatus::kRefused;
    }
    context.out << Printable(version) << '\n';
    return 0;
}
