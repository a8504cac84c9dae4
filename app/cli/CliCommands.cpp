#include "app/cli/CliCommands.h"

const std::vector<CliCommand>& CliCommandTable()
{
    static const std::vector<CliCommand> commands = {
        {"ready", "", "check that the calculator answers (exit 0 ready, 1 not ready)", RunReady},
    };
    return commands;
}
