#include "app/cli/CliCommands.h"

const std::vector<CliCommand>& CliCommandTable()
{
    static const std::vector<CliCommand> commands = {
        {"ready", "", "check that the calculator answers (exit 0 ready, 1 not ready)", RunReady},
        {"ls", "[--json]", "list the calculator's variables: name, type, size", RunList},
        {"get", "NAME... -o FILE [--comment TEXT] [--no-folders]",
         "receive variables and save them (one: its own file type, several: a group file)", RunGet},
        {"info", "FILE... [--json]", "kind, comment, size, variables and libraries of TI-92 files", RunInfo},
        {"convert", "TEXTFILE -o FILE.92t [--comment TEXT]", "convert a text file into a TI-92 text file", RunConvert},
    };
    return commands;
}
