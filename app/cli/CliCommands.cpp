#include "app/cli/CliCommands.h"

const std::vector<CliCommand>& CliCommandTable()
{
    static const std::vector<CliCommand> commands = {
        {"ready", "", "check that the calculator answers (exit 0 ready, 1 not ready)", RunReady},
        {"ls", "[--json]", "list the calculator's variables: name, type, size", RunList},
        {"get", "NAME... -o FILE [--comment TEXT] [--no-folders]",
         "receive variables and save them (one: its own file type, several: a group file; a text to FILE.txt: UTF-8 text)",
         RunGet},
        {"send", "FILE... [--yes] [--libraries yes|no|ask] [--lib-dir1 DIR] [--lib-dir2 DIR] [--name NAME] [--folder FOLDER]",
         "send files: text files converted, Fargo programs with their libraries, backups with --yes", RunSend},
        {"backup", "-o FILE.92b [--comment TEXT]", "receive the calculator's memory backup and save it", RunBackup},
        {"rom-version", "", "print the calculator's ROM version", RunRomVersion},
        {"info", "FILE...|DIR [--json] [--sort KEY]",
         "kind, comment, size, variables and libraries of TI-92 files, or a folder's list", RunInfo},
        {"convert", "TEXTFILE -o FILE.92t [--comment TEXT] [--name NAME] [--folder FOLDER]",
         "convert a text file (UTF-8 or Latin-1) into a TI-92 text file", RunConvert},
        {"screenshot", "-o FILE|- [--scale N]",
         "grab the calculator's screen as PNG or BMP (by the name's extension; - is PNG on stdout)", RunScreenshot},
        {"keys", "TEXT... [--key NAME]...", "type TEXT and named keys (ENTER, ESC, F1, ...) on the calculator", RunKeys},
        {"view", "FILE [-o OUT.png] [--var NAME]", "print a text variable, or write a picture variable as PNG", RunView},
    };
    return commands;
}
